#include "app/TQDefaultPrefViewController.h"

#include "app/ApplicationResources.h"
#include "app/CordelAppDelegate.h"
#include "model/TQPreferencesManager.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTextStream>

namespace tavrel {

namespace {

struct KindRow
{
    const char* schemaKey;
    const char* labelKey;
    const char* eventName;
};

constexpr KindRow kKinds[TQDefaultPrefViewController::KindCount] = {
    {"documents", "PreferencesDocuments", "Documents"},
    {"presentations", "PreferencesPresentations", "Presentation"},
    {"spreadsheets", "PreferencesSpreadsheets", "Spreadsheet"},
    {"forms", "PreferencesForms", "Forms"},
    {"drawings", "PreferencesDrawings", "Drawings"},
};

const QString kBrowserImage = QStringLiteral("th_google_favicon");

TQDefaultPrefViewController::Relauncher& relauncher()
{
    static TQDefaultPrefViewController::Relauncher relaunch = [] {
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                QCoreApplication::arguments().mid(1));
        if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
            delegate->terminate(nullptr);
        else
            QCoreApplication::quit();
    };
    return relaunch;
}

// A key of a desktop entry's [Desktop Entry] group.
QString desktopEntryValue(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inEntry = false;
    const QString prefix = key + QLatin1Char('=');
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

QIcon applicationIcon(const QUrl& url)
{
    const QString icon = desktopEntryValue(url.toLocalFile(), QStringLiteral("Icon"));
    if (icon.startsWith(QLatin1Char('/')))
        return QIcon(icon);
    return ImageRegistry::themeIcon(icon.isEmpty() ? QStringLiteral("application-x-executable") : icon,
                                    QStringLiteral("generic_document"));
}

void track(const QString& name, const QString& value)
{
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Preference"), name, value);
}

} // namespace

TQDefaultPrefViewController::TQDefaultPrefViewController()
{
    const QJsonDocument document =
        QJsonDocument::fromJson(ApplicationResources::data(QStringLiteral("SuiteSchema.json")));
    m_schema = document.object();
    build();
    awakeFromNib();
}

TQDefaultPrefViewController::~TQDefaultPrefViewController()
{
    delete m_view.data();
}

void TQDefaultPrefViewController::setRelauncher(Relauncher relaunch)
{
    relauncher() = std::move(relaunch);
}

QString TQDefaultPrefViewController::kindKey(Kind kind)
{
    switch (kind) {
    case Documents:
        return TQPreferencesManager::kDocumentsAppURLKey;
    case Presentations:
        return TQPreferencesManager::kPresentationsAppURLKey;
    case Spreadsheets:
        return TQPreferencesManager::kSpreadsheetsAppURLKey;
    case Forms:
        return TQPreferencesManager::kFormsAppURLKey;
    default:
        return TQPreferencesManager::kDrawingsAppURLKey;
    }
}

QUrl TQDefaultPrefViewController::storedURL(Kind kind)
{
    TQPreferencesManager* store = TQPreferencesManager::sharedManager();
    switch (kind) {
    case Documents:
        return store->documentsAppURL();
    case Presentations:
        return store->presentationsAppURL();
    case Spreadsheets:
        return store->spreadsheetsAppURL();
    case Forms:
        return store->formsAppURL();
    default:
        return store->drawingsAppURL();
    }
}

void TQDefaultPrefViewController::storeURL(Kind kind, const QUrl& url)
{
    TQPreferencesManager* store = TQPreferencesManager::sharedManager();
    switch (kind) {
    case Documents:
        return store->setDocumentsAppURL(url);
    case Presentations:
        return store->setPresentationsAppURL(url);
    case Spreadsheets:
        return store->setSpreadsheetsAppURL(url);
    case Forms:
        return store->setFormsAppURL(url);
    default:
        return store->setDrawingsAppURL(url);
    }
}

QUrl TQDefaultPrefViewController::applicationURLForIdentifier(const QString& identifier)
{
    if (identifier.isEmpty())
        return {};
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, identifier);
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

QString TQDefaultPrefViewController::applicationName(const QUrl& url)
{
    const QString name = desktopEntryValue(url.toLocalFile(), QStringLiteral("Name"));
    return name.isEmpty() ? QFileInfo(url.path()).completeBaseName() : name;
}

bool TQDefaultPrefViewController::hasSuiteInstalled(const QJsonObject& suite)
{
    if (!suite.contains(QStringLiteral("apps")))
        return true;
    for (const QJsonValue& app : suite.value(QStringLiteral("apps")).toArray())
        if (!applicationURLForIdentifier(app.toString()).isEmpty())
            return true;
    return false;
}

QString TQDefaultPrefViewController::downloadsFolder()
{
    const QByteArray bookmark = TQPreferencesManager::sharedManager()->downloadsBookmark();
    return bookmark.isEmpty() ? Paths::downloadsFolder() : QString::fromUtf8(bookmark);
}

void TQDefaultPrefViewController::build()
{
    m_view = new QWidget();
    m_view->setObjectName(QStringLiteral("DefaultPrefView"));
    auto* form = new QFormLayout(m_view);
    form->setContentsMargins(28, 22, 28, 24);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const auto popup = [this](const QString& name) {
        auto* combo = new QComboBox(m_view);
        combo->setObjectName(name);
        combo->setMinimumWidth(250);
        combo->setIconSize(QSize(16, 16));
        return combo;
    };
    m_suitesPopup = popup(QStringLiteral("suitesPopup"));
    connect(m_suitesPopup, &QComboBox::activated, this, &TQDefaultPrefViewController::changeSuite);
    form->addRow(StringTable::text(QStringLiteral("PreferencesSuite")), m_suitesPopup);
    for (int kind = 0; kind < KindCount; ++kind) {
        QComboBox* combo = popup(QString::fromLatin1(kKinds[kind].schemaKey) + QStringLiteral("Popup"));
        m_kindPopups[kind] = combo;
        connect(combo, &QComboBox::activated, this,
                [this, kind](int index) { changeApp(Kind(kind), index); });
        form->addRow(StringTable::text(QString::fromLatin1(kKinds[kind].labelKey)), combo);
    }
    m_downloadsPopup = popup(QStringLiteral("downloadsPopup"));
    connect(m_downloadsPopup, &QComboBox::activated, this, [this](int index) {
        if (m_downloadsPopup->itemData(index, kOtherRole).toBool())
            chooseOtherDownloads();
        else if (m_downloadsPopup->itemData(index, kTagRole).toInt() == kDownloadsFolderTag)
            resetDownloadFolder();
        else
            updateDownloads();
    });
    form->addRow(StringTable::text(QStringLiteral("PreferencesDownloads")), m_downloadsPopup);
    m_launchPopup = popup(QStringLiteral("launchPopup"));
    m_launchPopup->addItem(StringTable::text(QStringLiteral("LaunchPolicyWindow")));
    m_launchPopup->addItem(StringTable::text(QStringLiteral("LaunchPolicyTrayOnly")));
    // Without a tray the program cannot live in one: the choice is shown, off, with the reason.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (auto* items = qobject_cast<QStandardItemModel*>(m_launchPopup->model()))
            items->item(kTrayOnlyPolicy)->setEnabled(false);
        const QString reason = StringTable::text(QStringLiteral("LaunchPolicyNeedsTray"));
        m_launchPopup->setItemData(kTrayOnlyPolicy, reason, Qt::ToolTipRole);
        m_launchPopup->setToolTip(reason);
    }
    connect(m_launchPopup, &QComboBox::activated, this, &TQDefaultPrefViewController::changeLaunchPolicy);
    form->addRow(StringTable::text(QStringLiteral("PreferencesShowIcon")), m_launchPopup);
}

void TQDefaultPrefViewController::setSchema(const QJsonObject& schema)
{
    m_schema = schema;
    m_suitesPopup->clear();
    for (QComboBox* combo : m_kindPopups)
        combo->clear();
    awakeFromNib();
}

void TQDefaultPrefViewController::setupItem(const QJsonObject& entry, QComboBox* popup)
{
    const QString name = StringTable::text(entry.value(QStringLiteral("name")).toString());
    if (!entry.contains(QStringLiteral("app"))) {
        popup->addItem(ImageRegistry::icon(kBrowserImage), name);
        return;
    }
    const QUrl url = applicationURLForIdentifier(entry.value(QStringLiteral("app")).toString());
    if (url.isEmpty()) {
        popup->addItem(name);
        return;
    }
    popup->addItem(applicationIcon(url), name, url);
}

void TQDefaultPrefViewController::awakeFromNib()
{
    TQPreferencesManager* store = TQPreferencesManager::sharedManager();
    {
        const QSignalBlocker blocker(m_launchPopup);
        // The policy in force: a stored tray-only choice shows the window where no tray exists.
        int policy = qBound(0, int(store->applicationLaunchPolicy()), m_launchPopup->count() - 1);
        if (!m_launchPopup->model()
                 ->flags(m_launchPopup->model()->index(policy, 0))
                 .testFlag(Qt::ItemIsEnabled))
            policy = 0;
        m_launchPopup->setCurrentIndex(policy);
    }
    const QJsonArray suites = m_schema.value(QStringLiteral("suites")).toArray();
    const QString storedSuite = store->applicationsSuite();
    for (qsizetype i = 0; i < suites.size(); ++i) {
        const QJsonObject suite = suites.at(i).toObject();
        if (!hasSuiteInstalled(suite))
            continue;
        m_suitesPopup->addItem(StringTable::text(suite.value(QStringLiteral("name")).toString()),
                               suite.toVariantMap());
        if (suite.value(QStringLiteral("id")).toString() == storedSuite)
            m_suitesPopup->setCurrentIndex(m_suitesPopup->count() - 1);
        for (int kind = 0; kind < KindCount; ++kind)
            setupItem(m_schema.value(QString::fromLatin1(kKinds[kind].schemaKey)).toArray().at(i).toObject(),
                      m_kindPopups[kind]);
    }
    if (storedSuite.isEmpty() && m_suitesPopup->count() > 0)
        m_suitesPopup->setCurrentIndex(0);
    for (int kind = 0; kind < KindCount; ++kind) {
        QComboBox* combo = m_kindPopups[kind];
        combo->insertSeparator(combo->count());
        combo->addItem(StringTable::text(QStringLiteral("OtherApp")));
        combo->setItemData(combo->count() - 1, true, kOtherRole);
        updateKind(Kind(kind));
    }
    m_downloadsPopup->clear();
    m_downloadsPopup->addItem(
        ImageRegistry::themeIcon(QStringLiteral("folder-download"), QStringLiteral("generic_folder")),
        QFileInfo(Paths::downloadsFolder()).fileName());
    m_downloadsPopup->setItemData(0, kDownloadsFolderTag, kTagRole);
    m_downloadsPopup->insertSeparator(1);
    m_downloadsPopup->addItem(StringTable::text(QStringLiteral("OtherFolder")));
    m_downloadsPopup->setItemData(2, true, kOtherRole);
    updateDownloads();
}

void TQDefaultPrefViewController::updatePopup(QComboBox* popup, const QUrl& url)
{
    const QSignalBlocker blocker(popup);
    // A chosen application that no entry lists has an item of its own at the top.
    for (int i = popup->count() - 1; i >= 0; --i)
        if (popup->itemData(i, kTagRole).toString() == QLatin1String("chosen"))
            popup->removeItem(i);
    if (url.isEmpty()) {
        popup->setCurrentIndex(popup->count() > 0 ? 0 : -1);
        return;
    }
    const QString title = applicationName(url);
    for (int i = 0; i < popup->count(); ++i) {
        if (popup->itemData(i, kRepresentedObjectRole).toUrl() == url || popup->itemText(i) == title) {
            popup->setCurrentIndex(i);
            return;
        }
    }
    popup->insertItem(0, applicationIcon(url), title, url);
    popup->setItemData(0, QStringLiteral("chosen"), kTagRole);
    popup->setCurrentIndex(0);
}

void TQDefaultPrefViewController::updateKind(Kind kind)
{
    updatePopup(m_kindPopups[kind], storedURL(kind));
}

void TQDefaultPrefViewController::updateDownloads()
{
    const QSignalBlocker blocker(m_downloadsPopup);
    for (int i = m_downloadsPopup->count() - 1; i >= 0; --i)
        if (m_downloadsPopup->itemData(i, kTagRole).toString() == QLatin1String("chosen"))
            m_downloadsPopup->removeItem(i);
    const QString folder = downloadsFolder();
    if (QDir::cleanPath(folder) == QDir::cleanPath(Paths::downloadsFolder())) {
        m_downloadsPopup->setCurrentIndex(m_downloadsPopup->findData(kDownloadsFolderTag, kTagRole));
        return;
    }
    m_downloadsPopup->insertItem(0, ImageRegistry::folderIcon(), QFileInfo(folder).fileName(), folder);
    m_downloadsPopup->setItemData(0, QStringLiteral("chosen"), kTagRole);
    m_downloadsPopup->setItemData(0, folder, Qt::ToolTipRole);
    m_downloadsPopup->setCurrentIndex(0);
}

void TQDefaultPrefViewController::changeSuite(int index)
{
    const QVariantMap suite = m_suitesPopup->itemData(index).toMap();
    const QJsonArray suites = m_schema.value(QStringLiteral("suites")).toArray();
    qsizetype position = -1;
    for (qsizetype i = 0; i < suites.size(); ++i)
        if (suites.at(i).toObject().toVariantMap() == suite)
            position = i;
    if (position < 0) {
        TQLog("E: [!] Bug - not expected suite");
        return;
    }
    TQPreferencesManager::sharedManager()->setApplicationsSuite(suite.value(QStringLiteral("id")).toString());
    track(QStringLiteral("Suite"), suite.value(QStringLiteral("name")).toString());
    for (int kind = 0; kind < KindCount; ++kind) {
        const QJsonObject entry =
            m_schema.value(QString::fromLatin1(kKinds[kind].schemaKey)).toArray().at(position).toObject();
        QComboBox* combo = m_kindPopups[kind];
        const int item = combo->findText(StringTable::text(entry.value(QStringLiteral("name")).toString()));
        storeURL(Kind(kind), item >= 0 ? combo->itemData(item, kRepresentedObjectRole).toUrl() : QUrl());
        updateKind(Kind(kind));
    }
}

void TQDefaultPrefViewController::changeApp(Kind kind, int index)
{
    QComboBox* combo = m_kindPopups[kind];
    if (combo->itemData(index, kOtherRole).toBool()) {
        chooseOtherApplication(kind);
        return;
    }
    const QUrl url = combo->itemData(index, kRepresentedObjectRole).toUrl();
    if (url == storedURL(kind))
        return;
    storeURL(kind, url);
    track(QString::fromLatin1(kKinds[kind].eventName), QFileInfo(url.path()).fileName());
    updateKind(kind);
}

void TQDefaultPrefViewController::chooseOtherApplication(Kind kind)
{
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    QString start = QStringLiteral("/usr/share/applications");
    if (!QFileInfo::exists(start) && !folders.isEmpty())
        start = folders.first();
    auto* panel = new QFileDialog(m_view->window(), StringTable::text(QStringLiteral("ChooseApplication")),
                                  start, StringTable::text(QStringLiteral("ApplicationFilesFilter")));
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Choose")));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    m_openPanel = panel;
    connect(panel, &QFileDialog::finished, this, [this, panel, kind](int result) {
        if (result == QDialog::Accepted && !panel->selectedFiles().isEmpty()) {
            storeURL(kind, QUrl::fromLocalFile(panel->selectedFiles().constLast()));
            updateKind(kind);
        }
    });
    panel->open();
    // The pop-up shows the stored choice again, not "Other".
    updateKind(kind);
}

void TQDefaultPrefViewController::chooseOtherDownloads()
{
    auto* panel = new QFileDialog(
        m_view->window(), StringTable::text(QStringLiteral("ChooseDownloadsFolder")), Paths::homeFolder());
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Choose")));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    m_openPanel = panel;
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        if (result != QDialog::Accepted || panel->selectedFiles().isEmpty())
            return;
        const QString folder = panel->selectedFiles().constLast();
        if (!QFileInfo(folder).isDir()) {
            TQLog("Cannot create secure-scope bookmark: %@",
                  QStringLiteral("%1 is not a folder").arg(folder));
        } else {
            TQPreferencesManager::sharedManager()->setDownloadsBookmark(QDir::cleanPath(folder).toUtf8());
        }
        updateDownloads();
        track(QStringLiteral("Download"), QStringLiteral("Others"));
    });
    panel->open();
    updateDownloads();
}

void TQDefaultPrefViewController::resetDownloadFolder()
{
    TQPreferencesManager::sharedManager()->setDownloadsBookmark({});
    updateDownloads();
    track(QStringLiteral("Download"), QStringLiteral("Download"));
}

void TQDefaultPrefViewController::changeLaunchPolicy(int index)
{
    TQPreferencesManager::sharedManager()->setApplicationLaunchPolicy(index);
    track(QStringLiteral("ShowIcon"), index == 0 ? QStringLiteral("Dock") : QStringLiteral("MenuBar"));
    auto* alert = new Alert();
    alert->setStyle(Alert::Style::Informational);
    alert->setMessageText(StringTable::text(QStringLiteral("NeedsRestartTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("RestartNow")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Later")));
    m_restartAlert = alert;
    QPointer<TQDefaultPrefViewController> self = this;
    alert->beginSheet(m_view->window(), [self](int response, bool) {
        if (self)
            self->needsRestartAlertDidEnd(response);
    });
}

void TQDefaultPrefViewController::needsRestartAlertDidEnd(int returnCode)
{
    if (returnCode == Alert::DefaultResponse)
        relauncher()();
}

} // namespace tavrel
