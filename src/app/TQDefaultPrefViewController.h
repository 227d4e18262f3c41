#pragma once

#include "platform/ui/Alert.h"

#include <QComboBox>
#include <QFileDialog>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

namespace tavrel {

// The general pane of the preferences: the application suite, the application that opens each kind
// of document, the downloads folder, and whether the program shows its window or lives in the tray.
// The suites and their applications come from the schema resource "SuiteSchema.json"; applications are
// desktop entries, stored as the file URL of their .desktop file.
class TQDefaultPrefViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QWidget* view READ view CONSTANT)

public:
    static constexpr int kDownloadsFolderTag = 800;
    // The kinds of documents, in the schema's and the menus' order.
    enum Kind { Documents, Presentations, Spreadsheets, Forms, Drawings, KindCount };
    // The item data roles of the pop-ups.
    static constexpr int kRepresentedObjectRole = Qt::UserRole;
    static constexpr int kTagRole = Qt::UserRole + 1;
    static constexpr int kOtherRole = Qt::UserRole + 2;
    // The launch pop-up's item that keeps the program in its tray only.
    static constexpr int kTrayOnlyPolicy = 1;

    using Relauncher = std::function<void()>;

    TQDefaultPrefViewController();
    ~TQDefaultPrefViewController() override;

    QWidget* view() const { return m_view; }
    QComboBox* suitesPopup() const { return m_suitesPopup; }
    QComboBox* popupForKind(Kind kind) const { return m_kindPopups[kind]; }
    QComboBox* downloadsPopup() const { return m_downloadsPopup; }
    QComboBox* launchPopup() const { return m_launchPopup; }
    const QJsonObject& schema() const { return m_schema; }
    void setSchema(const QJsonObject& schema);

    // Whether one of the suite's applications is installed (a suite without applications always is).
    static bool hasSuiteInstalled(const QJsonObject& suite);
    // The .desktop file of an application id, or nothing.
    static QUrl applicationURLForIdentifier(const QString& identifier);
    // An application's display name (its entry's Name, else the file name without extension).
    static QString applicationName(const QUrl& url);

    void updatePopup(QComboBox* popup, const QUrl& url);
    void updateKind(Kind kind);
    void updateDownloads();
    // The downloads folder chosen, or the standard one.
    static QString downloadsFolder();

    void changeSuite(int index);
    void changeApp(Kind kind, int index);
    void chooseOtherApplication(Kind kind);
    void chooseOtherDownloads();
    void resetDownloadFolder();
    void changeLaunchPolicy(int index);
    void needsRestartAlertDidEnd(int returnCode);

    // What "RestartNow" runs (the program starts itself again and quits); tests record it.
    static void setRelauncher(Relauncher relauncher);
    // The open panel or alert shown now, if any (tests, the gallery).
    QFileDialog* openPanel() const { return m_openPanel; }
    Alert* restartAlert() const { return m_restartAlert; }

    static QString kindKey(Kind kind);
    static QUrl storedURL(Kind kind);
    static void storeURL(Kind kind, const QUrl& url);

private:
    void build();
    void awakeFromNib();
    void setupItem(const QJsonObject& entry, QComboBox* popup);
    void popupActivated(QComboBox* popup, int index);

    QJsonObject m_schema;
    // The window showing the pane owns the view once installed.
    QPointer<QWidget> m_view;
    QComboBox* m_suitesPopup = nullptr;
    QComboBox* m_kindPopups[KindCount] = {};
    QComboBox* m_downloadsPopup = nullptr;
    QComboBox* m_launchPopup = nullptr;
    QPointer<QFileDialog> m_openPanel;
    QPointer<Alert> m_restartAlert;
};

} // namespace tavrel
