#pragma once

#include "window/IFirstSynchronisationView.h"
#include "window/TQViewController.h"

class QLabel;

namespace tavrel {

// What the main window shows where the program registered no view of its own: a mode's title over a
// quiet placeholder, or, as the first-synchronisation screen, the program's mark with what is going on
// (presentSyncing, presentError, presentOffline, or signing in before any of them).
class TQStandInViewController : public TQViewController, public IFirstSynchronisationView
{
    Q_OBJECT
public:
    enum class Kind { Content, FirstSynchronisation };

    TQStandInViewController(const QString& titleKey, Kind kind = Kind::Content, int contentType = NoContent,
                            QObject* parent = nullptr);

    int contentType() const override { return m_contentType; }
    Kind kind() const { return m_kind; }

    Q_INVOKABLE void presentSyncing() override;
    Q_INVOKABLE void presentError() override;
    Q_INVOKABLE void presentOffline() override;
    // The headline shown now.
    QString headline() const;

protected:
    QWidget* loadView() override;

private:
    void present(const QString& headlineKey, const QString& detailKey, bool busy, bool problem);
    Kind m_kind;
    int m_contentType;
    QPointer<QLabel> m_headline;
    QPointer<QLabel> m_detail;
    QPointer<QWidget> m_indicator;
};

} // namespace tavrel
