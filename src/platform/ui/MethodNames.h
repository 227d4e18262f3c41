#pragma once

// Methods the interface calls by name (QMetaObject::invokeMethod) where it cannot name the class:
// views above the caller's layer that the program makes by design name, and delegates of a protocol
// that may or may not implement a method. Declared once beside MessageNames.h, so that a typo fails
// to compile; where the class can be named, call it directly instead.
namespace tavrel::Methods {

inline constexpr char filterbarControllerDidSwitchToController[] = "filterbarControllerDidSwitchToController";
inline constexpr char filterbarControllerShouldSwitchToController[] =
    "filterbarControllerShouldSwitchToController";
inline constexpr char setController[] = "setController";
inline constexpr char setEmail[] = "setEmail";
inline constexpr char setFilesToUpload[] = "setFilesToUpload";
inline constexpr char setItem[] = "setItem";
inline constexpr char showMainApplicationWindow[] = "showMainApplicationWindow";
inline constexpr char showWindowModalToWindow[] = "showWindowModalToWindow";

} // namespace tavrel::Methods
