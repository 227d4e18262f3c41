#pragma once

namespace tavrel {

// Sets up the interface layer once the QApplication exists: its resources (images, strings), the
// current-event recorder, command validation and the icon theme. The program, the widget test main
// and the gallery call it first.
class UiPlatform
{
public:
    static void initialize();
};

} // namespace tavrel
