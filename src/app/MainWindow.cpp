#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "app/AppStrings.h"
#include "app/ControlPurposes.h"
#include "app/LibrarySearch.h"
#include "catalog/Links.h"
#include "host/HostPaths.h"
#include "install/InstallStrings.h"
#include "install/Swap.h"
#include "settings/SettingsKeys.h"
#include "skins/SkinTones.h"
#include "ui/ClickableLabel.h"
#include "ui/Controls.h"
#include "ui/Messages.h"
#include "ui/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using controls::button;
using controls::frame;
using controls::label;
using controls::named;

ClickableLabel* link(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* l = named(new ClickableLabel(caption, parent), name);
    l->setGeometry(geometry);
    return l;
}

QListView* list(QWidget* parent, const char* name, QRect geometry, RowsModel* rows = nullptr) {
    QListView* l = controls::rowList(parent, name, geometry);
    if (rows) {
        delete l->model();
        l->setModel(rows);
    }
    return l;
}

QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = button(parent, name, caption, QRect(-2000, -2000, 80, 25));
    b->hide();
    return b;
}

// The payment-code picture of the donation panel: drawn, not shipped, so it needs no file.
QPixmap paymentCodePicture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0xad, 0x19));
    const int cells = 21;
    const double cell = size / double(cells);
    // Three finder squares and a fixed pattern: a stand-in, not a real payment code.
    auto finder = [&](int cx, int cy) {
        p.drawRect(QRectF(cx * cell, cy * cell, 7 * cell, 7 * cell));
        p.setBrush(Qt::white);
        p.drawRect(QRectF((cx + 1) * cell, (cy + 1) * cell, 5 * cell, 5 * cell));
        p.setBrush(QColor(0x1a, 0xad, 0x19));
        p.drawRect(QRectF((cx + 2) * cell, (cy + 2) * cell, 3 * cell, 3 * cell));
    };
    finder(0, 0);
    finder(14, 0);
    finder(0, 14);
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const bool inFinder = (x < 8 && y < 8) || (x > 12 && y < 8) || (x < 8 && y > 12);
            if (!inFinder && ((x * 7 + y * 13 + x * y) % 5 < 2)) {
                p.drawRect(QRectF(x * cell, y * cell, cell, cell));
            }
        }
    }
    return pm;
}

} // namespace

MainWindow::MainWindow(const AppContext& context, QWidget* parent)
    : QMainWindow(parent)
    , context_(context)
    , settings_(context.folder) {
    setObjectName(QStringLiteral("Form1"));
    sendCatalogRequest();
    // The style sheet is in force before the first control exists, so no control is polished twice.
    applyStoredSkin();
    skinRows_ = new RowsModel(this);
    exampleRows_ = new RowsModel(this);
    siteRows_ = new RowsModel(this);
    setWindowTitle(msg::Title + QString(50, QLatin1Char(' ')) + appstr::WindowTitleBy);
    client = named(new QWidget(this), "client");
    client->setFixedSize(twips::px(ClientWidth), twips::px(ClientHeight));
    setCentralWidget(client);

    buildMenus();
    buildPanels();
    buildOverlayPanels();
    buildPathPanel();
    parseCatalogButton = hiddenButton(client, "Command3", appstr::ParseCatalogCaption);
    connectHandlers();
    controls::orderTabsVisually(client);

    noticeTimer = named(new QTimer(this), "Timer1");
    noticeTimer->setInterval(40);
    connect(noticeTimer, &QTimer::timeout, this, &MainWindow::scrollNotice);
    noticeTimer->start();

    controls::describe(*this, purposes::MainWindow);
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() = default;

double MainWindow::outerWidthTwips() const {
    return twips::fromPx(client->width()) + FrameExtraWidth;
}

double MainWindow::outerHeightTwips() const {
    return twips::fromPx(client->height()) + FrameExtraHeight;
}

void MainWindow::buildMenus() {
    settingsMenu = menuBar()->addMenu(appstr::SettingsMenu);
    settingsMenu->setObjectName(QStringLiteral("shezhi"));
    skinAction = settingsMenu->addAction(appstr::SkinMenu);
    skinAction->setObjectName(QStringLiteral("pifu"));

    functionsMenu = menuBar()->addMenu(appstr::FunctionsMenu);
    functionsMenu->setObjectName(QStringLiteral("gongneng"));
    refreshLocalAction = functionsMenu->addAction(appstr::RefreshLocalMenu);
    refreshLocalAction->setObjectName(QStringLiteral("bendiku"));
    refreshCatalogAction = functionsMenu->addAction(appstr::RefreshCatalogMenu);
    refreshCatalogAction->setObjectName(QStringLiteral("wangluoku"));
    updateAllAction = functionsMenu->addAction(installstr::UpdateAllAction);
    updateAllAction->setObjectName(QStringLiteral("quanbugengxin"));
    exportAction = functionsMenu->addAction(installstr::ExportAction);
    exportAction->setObjectName(QStringLiteral("daochukubao"));

    helpAction = menuBar()->addAction(appstr::HelpMenu);
    helpAction->setObjectName(QStringLiteral("bangzhu"));
    aboutAction = menuBar()->addAction(appstr::AboutMenu);
    aboutAction->setObjectName(QStringLiteral("guanyu"));
}

void MainWindow::buildPanels() {
    using twips::rect;

    // Notice panel.
    noticePanel = frame(client, "Frame12", appstr::NoticeCaption, rect(120, 0, 10335, 615));
    QString design;
    for (int i = 0; i < 5; ++i) {
        design += appstr::NoticeDesignText;
    }
    noticeLabel = link(noticePanel, "Label18", design, rect(0, 270, 6000, 255));
    noticeLabel->adjustSize();

    // Tools panel.
    toolsPanel = frame(client, "Frame4", QString(), rect(120, 720, 10335, 1815));
    hostPathCaption = label(toolsPanel, "Label16", appstr::HostPathCaption, rect(240, 330, 1095, 255));
    hostPathEdit = named(new QLineEdit(appstr::ChooseHost, toolsPanel), "Text8");
    hostPathEdit->setGeometry(rect(1320, 270, 5295, 345));
    chooseHostButton = button(toolsPanel, "Command16", appstr::ChooseHost, rect(6720, 255, 1695, 375));
    runHostButton = button(toolsPanel, "Command17", appstr::RunHost, rect(8520, 255, 1695, 375));
    boardCaption = label(toolsPanel, "Label12", appstr::BoardCaption, rect(720, 840, 615, 255));
    openLibraryRootButton =
        button(toolsPanel, "Command21", appstr::OpenLibraryRoot, rect(4680, 765, 1695, 375));
    installLocalButton = button(toolsPanel, "Command14", appstr::InstallLocal, rect(6600, 765, 1695, 375));
    shareButton = button(toolsPanel, "Command20", appstr::Share, rect(8520, 765, 1695, 375));
    conversionButton = button(toolsPanel, "Command25", appstr::Conversion, rect(4680, 1275, 1695, 375));
    sitesButton = button(toolsPanel, "Command28", appstr::Sites, rect(6600, 1275, 1695, 375));
    examplesButton = button(toolsPanel, "Command29", appstr::Examples, rect(8520, 1275, 1695, 375));
    // List7 is never shown: made only for whoever inspects all controls (buildDeferredPanels).

    // The board list belongs to the window itself, over the tools panel.
    boardCombo = named(new QComboBox(client), "Combo2");
    boardCombo->setEditable(false);
    boardCombo->setGeometry(rect(1440, 1500, 3135, 345));
    boardCombo->raise();

    // Version and library information.
    versionPanel = frame(client, "Frame10", appstr::VersionCaption, rect(120, 2760, 10335, 615));
    libraryUpdateLabel =
        label(versionPanel, "Label20", appstr::LibraryUpdateDesignText, rect(240, 270, 4200, 255));
    retryLink = link(versionPanel, "Label2", appstr::Retry, rect(5400, 270, 4695, 255));
    retryLink->setProperty(tone::Property, tone::Alert);
    cachedCatalogLabel =
        label(versionPanel, "Label60", installstr::ShowingCachedCatalog, rect(7800, 270, 2415, 255));
    cachedCatalogLabel->setProperty(tone::Property, tone::Muted);
    cachedCatalogLabel->hide();
    newVersionLink = link(versionPanel, "Label1", appstr::NewVersionDesignText, rect(5400, 270, 4695, 255));
    newVersionLink->setProperty(tone::Property, tone::Alert);
    newVersionLink->hide();

    // Library lists.
    librariesPanel = frame(client, "Frame3", QString(), rect(120, 3480, 10335, 4695));
    searchEdit = named(new QLineEdit(librariesPanel), "Text20");
    searchEdit->setPlaceholderText(installstr::SearchPlaceholder);
    searchEdit->setAccessibleName(installstr::SearchPlaceholder);
    searchEdit->setClearButtonEnabled(true);
    searchEdit->setGeometry(rect(120, 150, 3135, 345));
    updatesOnlyCheck = named(new QCheckBox(installstr::UpdatesOnly, librariesPanel), "Check1");
    updatesOnlyCheck->setGeometry(rect(3360, 150, 1935, 345));
    localFrame = frame(librariesPanel, "Frame1", appstr::LocalCaption, rect(120, 540, 2535, 4035));
    localList = list(localFrame, "List3", rect(120, 300, 2295, 3615));
    networkFrame = frame(librariesPanel, "Frame6", appstr::NetworkCaption, rect(2760, 540, 2535, 4035));
    networkList = list(networkFrame, "List2", rect(120, 300, 2295, 3615));
    detailsFrame = frame(librariesPanel, "Frame7", appstr::DetailsCaption, rect(5400, 120, 4815, 4455));
    // Its text and buttons are built when a library is first picked (buildDetailsControls).

    // Status strip.
    statusPanel = frame(client, "Frame2", QString(), rect(120, 8280, 10335, 615));
    donateLink = link(statusPanel, "Label7", appstr::Donate, rect(240, 270, 1095, 255));
    donateLink->setProperty(tone::Property, tone::Warning);
    const QString groupNumber = settings_.read(keys::ChatGroupNumber);
    chatGroupLink =
        link(statusPanel, "Label17", appstr::ChatGroupPrefix + groupNumber, rect(1560, 270, 2655, 255));
    siteLink = link(statusPanel, "Label5", settings_.read(keys::MakerSite), rect(4320, 270, 3255, 255));
    siteLink->setProperty(tone::Property, tone::Link);
    titleLabel = label(statusPanel, "Label4", msg::Title, rect(7680, 270, 2535, 255));
    titleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::buildOverlayPanels() {
    // Only the frames: what they hold is built when a panel is first shown, since most runs show
    // none of them. Laid out outside the client area; load centres them.
    const QRect away(-4000, -4000, 10, 10);
    skinPanel = frame(client, "Frame11", appstr::SkinCaption, away);
    skinPanel->resize(twips::px(4215), twips::px(5655));
    aboutPanel = frame(client, "Frame8", appstr::AboutCaption, away);
    aboutPanel->resize(twips::px(4695), twips::px(4815));
    donationPanel = frame(client, "Frame15", QString(), away);
    donationPanel->resize(twips::px(7695), twips::px(6135));
    examplesPanel = frame(client, "Frame14", QString(), away);
    examplesPanel->resize(twips::px(5295), twips::px(6495));
    sitesPanel = frame(client, "Frame13", QString(), away);
    sitesPanel->resize(twips::px(5295), twips::px(6615));
    for (QGroupBox* panel : {skinPanel, aboutPanel, donationPanel, examplesPanel, sitesPanel}) {
        panel->setAutoFillBackground(true);
    }
}

void MainWindow::buildDetailsControls() {
    if (detailsText) {
        return;
    }
    using twips::rect;
    detailsText = named(new QPlainTextEdit(detailsFrame), "Text11");
    detailsText->setGeometry(rect(120, 300, 4575, 2715));
    detailsText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    detailsText->setReadOnly(true);
    // Only one of install, reinstall and update is ever shown, so they share a place.
    updateButton = button(detailsFrame, "Command19", appstr::Update, rect(120, 3120, 1455, 375));
    installButton = button(detailsFrame, "Command13", appstr::Install, rect(120, 3120, 1455, 375));
    reinstallButton = button(detailsFrame, "Command6", appstr::Reinstall, rect(120, 3120, 1455, 375));
    openExamplesButton =
        button(detailsFrame, "Command101", appstr::OpenExamples, rect(1680, 3120, 1455, 375));
    openFolderButton = button(detailsFrame, "Command102", appstr::OpenFolder, rect(3240, 3120, 1455, 375));
    openXmlButton = button(detailsFrame, "Command200", appstr::OpenXml, rect(120, 3540, 1455, 375));
    openBlockButton = button(detailsFrame, "Command201", appstr::OpenBlock, rect(1680, 3540, 1455, 375));
    openGeneratorButton =
        button(detailsFrame, "Command202", appstr::OpenGenerator, rect(3240, 3540, 1455, 375));
    uninstallButton =
        button(detailsFrame, "Command32", installstr::UninstallCaption, rect(120, 3960, 1455, 375));
    for (QPushButton* install : {installButton, updateButton, reinstallButton}) {
        connect(install, &QPushButton::clicked, this, &MainWindow::installSelectedLibrary);
    }
    connect(uninstallButton, &QPushButton::clicked, this, &MainWindow::onUninstallClicked);
    for (auto [button, path] :
         {std::pair{openExamplesButton, &host::libraryExamplesFolder},
          std::pair{openFolderButton, &host::libraryFolder}, std::pair{openXmlButton, &host::libraryXml},
          std::pair{openBlockButton, &host::libraryBlockScript},
          std::pair{openGeneratorButton, &host::libraryGeneratorScript}}) {
        connect(button, &QPushButton::clicked, this, [this, p = path] { openLibraryPath(p); });
    }
    // Tab reaches them right after the network list, where they stood when the window was made with
    // them (and before the controls of any overlay panel built since).
    QWidget* after = networkList;
    for (QWidget* w : controls::visualTabOrder(detailsFrame)) {
        QWidget::setTabOrder(after, w);
        after = w;
    }
    controls::describe(*detailsFrame, purposes::MainWindow);
    if (startedUp_) { // start-up hid them; each library picked shows those it needs
        hideDetailsControls();
    }
}

void MainWindow::hideDetailsControls() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             detailsText, installButton, reinstallButton, openExamplesButton, openFolderButton, openXmlButton,
             openBlockButton, openGeneratorButton, updateButton, uninstallButton}) {
        w->hide();
    }
}

void MainWindow::buildDeferredPanels() {
    if (!spareList) { // the last control of the tools panel, between Command20 and Command25 for Tab
        spareList = list(toolsPanel, "List7", twips::rect(1320, 1275, 3135, 375));
        spareList->setVisible(!startedUp_);
        QWidget::setTabOrder(shareButton, spareList);
        controls::describe(*toolsPanel, purposes::MainWindow);
    }
    buildDetailsControls();
    for (QGroupBox* panel : {skinPanel, aboutPanel, donationPanel, examplesPanel, sitesPanel}) {
        buildPanelContents(panel);
    }
}

void MainWindow::buildPanelContents(QGroupBox* panel) {
    // In the order the window's controls were made, each panel after the one before it; the tab
    // order follows that order from panel to panel.
    const std::initializer_list<std::pair<QGroupBox*, void (MainWindow::*)()>> panels{
        {skinPanel, &MainWindow::buildSkinPanel},
        {aboutPanel, &MainWindow::buildAboutPanel},
        {donationPanel, &MainWindow::buildDonationPanel},
        {examplesPanel, &MainWindow::buildExamplesPanel},
        {sitesPanel, &MainWindow::buildSitesPanel}};
    if (builtPanels_.contains(panel)) {
        return;
    }
    builtPanels_.insert(panel);
    // The controls of the panels built before this one (or, for none, the library details) are
    // where Tab reaches this panel's controls from.
    QWidget* after = nullptr;
    for (const auto& [p, build] : panels) {
        if (p == panel) {
            (this->*build)();
            break;
        }
        if (const std::vector<QWidget*> order = controls::visualTabOrder(p); !order.empty()) {
            after = order.back();
        }
    }
    if (after == nullptr) { // the library details' controls, or where they go once built
        const std::vector<QWidget*> details = controls::visualTabOrder(detailsFrame);
        after = details.empty() ? static_cast<QWidget*>(networkList) : details.back();
    }
    for (QWidget* w : controls::visualTabOrder(panel)) {
        QWidget::setTabOrder(after, w);
        after = w;
    }
    controls::describe(*panel, purposes::MainWindow);
}

void MainWindow::buildSkinPanel() {
    using twips::rect;
    skinList = list(skinPanel, "List4", rect(120, 360, 3975, 4560), skinRows_);
    closeSkinsButton = button(skinPanel, "Command24", appstr::Close, rect(1680, 5160, 975, 375));
    connect(closeSkinsButton, &QPushButton::clicked, this, [this] { toggleOverlay(skinPanel); });
    connect(skinList, &QListView::clicked, this, &MainWindow::onSkinClicked);
    // The arrow keys only move through the skins; Enter takes one (and closes the panel, as a click).
    controls::actOnEnter(skinList, [this] { onSkinClicked(); });
}

void MainWindow::buildAboutPanel() {
    using twips::rect;
    aboutTitle = label(aboutPanel, "Label3", msg::Title, rect(240, 360, 4215, 495));
    QFont big = aboutTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    aboutTitle->setFont(big);
    aboutTitle->setAlignment(Qt::AlignCenter);
    aboutIntro = label(aboutPanel, "Label53", appstr::AboutIntro, rect(240, 960, 4215, 975));
    aboutIntro->setWordWrap(true);
    aboutIntro->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Start-up names this program's version, the catalog the latest one and its date.
    currentVersionLabel =
        label(aboutPanel, "Label50", currentVersionCaption_.value_or(appstr::CurrentVersionDesignText),
              rect(240, 2040, 4215, 255));
    latestVersionLabel =
        label(aboutPanel, "Label51", latestVersionCaption_.value_or(appstr::LatestVersionDesignText),
              rect(240, 2400, 4215, 255));
    releaseDateLabel =
        label(aboutPanel, "Label52", releaseDateCaption_.value_or(appstr::ReleaseDateDesignText),
              rect(240, 2760, 4215, 255));
    aboutSiteLink = link(aboutPanel, "Label9", appstr::SitePrefix + settings_.read(keys::MakerSite),
                         rect(240, 3120, 4215, 255));
    aboutSiteLink->setProperty(tone::Property, tone::Link);
    authorLabel = label(aboutPanel, "Label10", appstr::Author, rect(240, 3480, 4215, 255));
    aboutChatGroupLink =
        link(aboutPanel, "Label11",
             appstr::ChatGroupPrefix + settings_.read(keys::ChatGroupNumber) + appstr::JoinSuffix,
             rect(240, 3840, 4215, 255));
    aboutChatGroupLink->setProperty(tone::Property, tone::Link);
    aboutOkButton = button(aboutPanel, "Command4", appstr::Ok, rect(1860, 4260, 975, 375));
    connect(aboutOkButton, &QPushButton::clicked, this, [this] { toggleOverlay(aboutPanel); });
    connect(aboutSiteLink, &ClickableLabel::clicked, this, [this] { openSitePage(&links::homePage); });
    connect(aboutChatGroupLink, &ClickableLabel::clicked, this,
            [this] { openConfiguredPage(keys::ChatGroupPage); });
}

void MainWindow::buildDonationPanel() {
    using twips::rect;
    donationLetter = label(donationPanel, "Label24", appstr::DonationLetter, rect(240, 240, 5400, 5760));
    QFont letterFont = donationLetter->font();
    letterFont.setPointSizeF(letterFont.pointSizeF() * 0.9);
    donationLetter->setFont(letterFont);
    donationLetter->setWordWrap(true);
    donationLetter->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paymentCode = label(donationPanel, "Image1", QString(), rect(5790, 1440, 1695, 1695));
    paymentCode->setPixmap(paymentCodePicture(twips::px(1695)));
    closeDonationButton = button(donationPanel, "Command31", appstr::Close, rect(6150, 5520, 975, 375));
    connect(closeDonationButton, &QPushButton::clicked, this, [this] { toggleOverlay(donationPanel); });
}

void MainWindow::buildExamplesPanel() {
    using twips::rect;
    examplesHeading = label(examplesPanel, "Label22", appstr::ExamplesHeading, rect(240, 240, 4815, 300));
    exampleList = list(examplesPanel, "List6", rect(120, 600, 5055, 5160), exampleRows_);
    openSharedExamplesButton =
        button(examplesPanel, "Command30", appstr::OpenSharedExamples, rect(720, 5940, 1575, 375));
    closeExamplesButton = button(examplesPanel, "Command27", appstr::Close, rect(3000, 5940, 1575, 375));
    connect(closeExamplesButton, &QPushButton::clicked, this, [this] {
        toggleOverlay(examplesPanel);
        examplesButton->setFocus();
    });
    connect(openSharedExamplesButton, &QPushButton::clicked, this,
            [this] { platform().openWithDesktop(examplesFolder()); });
    connect(exampleList, &QListView::doubleClicked, this, &MainWindow::onExampleDoubleClicked);
    controls::actOnEnter(exampleList, [this] { onExampleDoubleClicked(); });
}

void MainWindow::buildSitesPanel() {
    using twips::rect;
    sitesHeading = label(sitesPanel, "Label23", appstr::SitesHeading, rect(240, 240, 4815, 300));
    siteList = list(sitesPanel, "List5", rect(120, 600, 5055, 5280), siteRows_);
    closeSitesButton = button(sitesPanel, "Command26", appstr::Close, rect(2160, 6060, 975, 375));
    connect(closeSitesButton, &QPushButton::clicked, this, [this] { toggleOverlay(sitesPanel); });
    connect(siteList, &QListView::doubleClicked, this, &MainWindow::onSiteDoubleClicked);
    controls::actOnEnter(siteList, [this] { onSiteDoubleClicked(); });
}

void MainWindow::buildPathPanel() {
    using twips::rect;
    pathPanel = controls::coveringFrame(client, "Frame9", appstr::PathCaption, QRect(-4000, -4000, 10, 10));
    pathPanel->hide();
    pathPanelEdit = named(new QLineEdit(pathPanel), "Text1");
    pathPanelEdit->setReadOnly(true);
    pathPanelEdit->setText(appstr::PathPanelPrompt);
    pathPanelEdit->setStyleSheet(QStringLiteral("color: grey;"));
    pathPanelEdit->setGeometry(rect(1080, 2520, 6255, 375));
    pathPanelChooseButton = button(pathPanel, "Command5", appstr::ChooseHost, rect(7440, 2505, 1815, 405));
    pathExampleLabel = label(pathPanel, "Label15", appstr::PathExample, rect(1080, 3060, 6255, 255));
    pathHintLabel = label(pathPanel, "Label13", appstr::PathHint, rect(1080, 3420, 6255, 255));
    pathHintLabel->setProperty(tone::Property, tone::Warning);
    pathPanelOkButton = button(pathPanel, "Command7", appstr::Ok, rect(4320, 4020, 1815, 465));
    detailsPageLink = link(pathPanel, "Label14", appstr::DetailsPageLink, rect(1080, 5160, 2655, 255));
    videoLink = link(pathPanel, "Label21", appstr::VideoLink, rect(3960, 5160, 3375, 255));
    pathChatGroupLink =
        link(pathPanel, "Label19", appstr::ChatGroupPrefix + settings_.read(keys::ChatGroupNumber),
             rect(7560, 5160, 2535, 255));
    for (ClickableLabel* l : {detailsPageLink, videoLink, pathChatGroupLink}) {
        l->setProperty(tone::Property, tone::Link);
    }
}

void MainWindow::connectHandlers() {
    // Shell: each overlay panel has an opener and a closer, both the same toggle.
    // (The closers and the panels' other controls are connected as each panel is built.)
    const auto toggles = [this](QGroupBox* panel) { return [this, panel] { toggleOverlay(panel); }; };
    connect(skinAction, &QAction::triggered, this, toggles(skinPanel));
    connect(aboutAction, &QAction::triggered, this, toggles(aboutPanel));
    connect(donateLink, &ClickableLabel::clicked, this, toggles(donationPanel));
    connect(sitesButton, &QPushButton::clicked, this, toggles(sitesPanel));

    // Host IDE.
    connect(pathPanelChooseButton, &QPushButton::clicked, this, &MainWindow::onPathPanelChooseClicked);
    connect(pathPanelOkButton, &QPushButton::clicked, this, [this] { takePathPanelChoice(true); });
    connect(chooseHostButton, &QPushButton::clicked, this, &MainWindow::onChooseHostClicked);
    connect(runHostButton, &QPushButton::clicked, this, &MainWindow::onRunHostClicked);
    connect(boardCombo, &QComboBox::activated, this, &MainWindow::onBoardChosen);
    connect(refreshLocalAction, &QAction::triggered, this, &MainWindow::onBoardChosen);

    // Catalog and links.
    connect(refreshCatalogAction, &QAction::triggered, this, &MainWindow::refreshCatalog);
    connect(retryLink, &ClickableLabel::clicked, this, &MainWindow::downloadCatalog);
    connect(parseCatalogButton, &QPushButton::clicked, this, &MainWindow::parseCatalogCache);
    const auto sitePage = [this](QString (*page)(const QString&)) {
        return [this, page] { openSitePage(page); };
    };
    for (ClickableLabel* programLink : {newVersionLink, detailsPageLink, noticeLabel}) {
        connect(programLink, &ClickableLabel::clicked, this, sitePage(&links::programPage));
    }
    connect(helpAction, &QAction::triggered, this, sitePage(&links::programPage));
    connect(shareButton, &QPushButton::clicked, this, sitePage(&links::sharingPage));
    connect(siteLink, &ClickableLabel::clicked, this, sitePage(&links::homePage));
    connect(videoLink, &ClickableLabel::clicked, this, [this] { openConfiguredPage(keys::VideoPage); });
    for (ClickableLabel* chatLink : {pathChatGroupLink, chatGroupLink}) {
        connect(chatLink, &ClickableLabel::clicked, this,
                [this] { openConfiguredPage(keys::ChatGroupPage); });
    }

    // Libraries. A click is any change of the selected row, by mouse or by the arrow keys, and a
    // click on the row already selected (the details are read anew, so a changed description file
    // shows). A click that changes the row shows the details twice over; they are read from files
    // and set, nothing else, so that costs a fraction of a millisecond and needs no bookkeeping.
    for (auto [list, handler] : {std::pair{networkList, &MainWindow::onNetworkLibraryClicked},
                                 std::pair{localList, &MainWindow::onLocalLibraryClicked}}) {
        connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, h = handler](const QModelIndex& row) {
                    if (row.isValid()) {
                        (this->*h)();
                    }
                });
        connect(list, &QListView::clicked, this, [this, h = handler] { (this->*h)(); });
    }
    connect(searchEdit, &QLineEdit::textChanged, this, &MainWindow::applyLibraryFilter);
    connect(updatesOnlyCheck, &QCheckBox::toggled, this, &MainWindow::applyLibraryFilter);
    connect(installLocalButton, &QPushButton::clicked, this, &MainWindow::onInstallLocalClicked);
    connect(updateAllAction, &QAction::triggered, this, &MainWindow::onUpdateAllClicked);
    connect(exportAction, &QAction::triggered, this, &MainWindow::onExportClicked);
    connect(openLibraryRootButton, &QPushButton::clicked, this, &MainWindow::onOpenLibraryRootClicked);

    // Examples.
    connect(examplesButton, &QPushButton::clicked, this, &MainWindow::onExamplesClicked);

    // Conversion window.
    connect(conversionButton, &QPushButton::clicked, this, &MainWindow::openConversionWindow);
}

void MainWindow::startUp() {
    initialize();
    load();
}

void MainWindow::initialize() {
    startedUp_ = true;
    if (detailsText) {
        hideDetailsControls();
    }
    // The notice enters from the right edge of its panel.
    noticeLeftTwips_ = twips::fromPx(noticePanel->width());
    noticeLabel->move(twips::px(noticeLeftTwips_), noticeLabel->y());
    // No system components are needed: Qt brings the file dialog and the HTTP client, so nothing is
    // copied into system folders and nothing is registered.
}

void MainWindow::placeOverlay(QGroupBox* panel, double leftTw, double topTw) {
    panel->move(twips::px(leftTw), twips::px(topTw));
}

void MainWindow::showPathPanel() {
    pathPanel->setGeometry(twips::rect(20, 0, outerWidthTwips() - 150, outerHeightTwips() - 750));
    pathPanel->show();
    pathPanel->raise();
}

void MainWindow::load() {
    if (spareList) {
        spareList->hide();
    }
    for (QGroupBox* panel : {skinPanel, aboutPanel, sitesPanel, examplesPanel, donationPanel}) {
        panel->hide();
    }
    const double w = outerWidthTwips();
    const double h = outerHeightTwips();
    for (QGroupBox* panel : {donationPanel, examplesPanel, sitesPanel, aboutPanel, skinPanel}) {
        const double pw = twips::fromPx(panel->width());
        const double ph = twips::fromPx(panel->height());
        placeOverlay(panel, (w - pw) / 2.0, (h - ph) / 2.0);
        panel->raise();
    }

    hostPathEdit->setText(settings_.read(keys::HostPath));
    toolsPanel->setTitle(settings_.read(keys::HostVersion));

    const QChar sep = context_.folder.sep;
    if (host::isValidHostPath(hostPathEdit->text(), sep)) {
        runHostButton->setEnabled(true);
    } else {
        showPathPanel();
        runHostButton->setEnabled(false);
    }

    listSkins();

    if (host::isValidHostPath(hostPathEdit->text(), sep)) {
        runHostButton->setEnabled(true);
        openLibraryRootButton->setEnabled(true);
        // An install that a killed copy of the program left half done is finished or undone before
        // anything lists the libraries; only in a host installation that is there, never relative
        // to the working folder.
        if (host::isInstalledHostPath(hostPathEdit->text(), sep)) {
            install::recoverInstalls(hostPathEdit->text(), sep);
        }
        listBoards();
    } else {
        runHostButton->setEnabled(false);
        openLibraryRootButton->setEnabled(false);
    }

    currentVersion_ = settings_.read(keys::ProgramVersion);
    titleLabel->setText(appstr::TitlePrefix + currentVersion_ + appstr::VersionSuffix);
    currentVersionCaption_ = appstr::CurrentVersionPrefix + currentVersion_ + appstr::VersionSuffix;
    if (currentVersionLabel) {
        currentVersionLabel->setText(*currentVersionCaption_);
    }

    downloadCatalog();
}

void MainWindow::hideOverlayPanels() {
    skinPanel->hide();
    sitesPanel->hide();
    donationPanel->hide();
    examplesPanel->hide();
    aboutPanel->hide();
}

bool MainWindow::toggleOverlay(QGroupBox* panel) {
    if (panel->isVisible()) {
        panel->hide();
        return false;
    }
    hideOverlayPanels();
    buildPanelContents(panel);
    panel->show();
    panel->raise();
    return true;
}

void MainWindow::setNotice(const QString& text) {
    noticeLabel->setText(text);
    noticeLabel->fitToText(); // the scrolling wraps by the label's real width
}

void MainWindow::scrollNotice() {
    noticeLeftTwips_ -= 20;
    const double labelWidth = twips::fromPx(noticeLabel->width());
    if (noticeLeftTwips_ < -labelWidth) {
        noticeLeftTwips_ = twips::fromPx(noticePanel->width());
    }
    noticeLabel->move(twips::px(noticeLeftTwips_), noticeLabel->y());
}

QString MainWindow::showOpenFileDialog() {
    if (const std::optional<QString> chosen = platform().openFileDialog(dialogFilter_, dialogFileName_)) {
        dialogFileName_ = *chosen;
    }
    return dialogFileName_;
}
