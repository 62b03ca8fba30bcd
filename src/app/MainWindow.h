#pragma once

#include "app/AppContext.h"
#include "install/Checksum.h"
#include "install/LibraryDetails.h"
#include "net/HttpClient.h"
#include "settings/Settings.h"
#include "ui/Platform.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

class ClickableLabel;
class ConversionWindow;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class RowsModel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The main window. Every control carries the name the user's handbook gives it as its Qt object
// name (skins select controls by it, tests find them by it); see the comment beside each one. The
// handlers of each area live in a file of their own:
//   MainWindow.cpp           start-up, layout, overlay panels, notice scrolling
//   MainWindow_host.cpp      host IDE location, version check, boards and installed libraries
//   MainWindow_catalog.cpp   catalog download, parse, notices and links
//   MainWindow_install.cpp   library details, package download and extraction, installing, browsing
//   MainWindow_examples.cpp  shared examples
//   MainWindow_convert.cpp   opening the conversion window
//   MainWindow_skins.cpp     skins
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Applies the stored skin, places the panels, reads the settings and downloads the catalog.
    // The window is shown by the caller afterwards.
    void startUp();

    // Builds the contents of every overlay panel now. They are otherwise built when first shown;
    // whoever lists or inspects all controls (the controls document) calls this first.
    Q_INVOKABLE void buildDeferredPanels();

    // The window's outer size in twips, as the panel placement rules use it: the client area plus a
    // classic window frame (borders, caption and menu bar).
    double outerWidthTwips() const;
    double outerHeightTwips() const;

    // Client area, in twips.
    static constexpr int ClientWidth = 10545;
    static constexpr int ClientHeight = 8955;
    // A classic frame adds this much to the client area.
    static constexpr int FrameExtraWidth = 150;
    static constexpr int FrameExtraHeight = 750;

private:
    // ---- shell (MainWindow.cpp) ----
    void buildMenus();
    void buildPanels();
    void buildOverlayPanels();
    // The contents of one overlay panel (its frame exists from the start), with its handlers and
    // its place in the tab order; nothing when they are built already.
    void buildPanelContents(QGroupBox* panel);
    void buildSkinPanel();
    void buildAboutPanel();
    void buildDonationPanel();
    void buildExamplesPanel();
    void buildSitesPanel();
    void buildPathPanel();
    void connectHandlers();
    void initialize();
    void load();
    void hideOverlayPanels();
    // The toggle rule of the overlay panels: a visible panel hides; otherwise all overlay panels hide
    // and this one shows. Returns whether the panel is now shown.
    bool toggleOverlay(QGroupBox* panel);
    void placeOverlay(QGroupBox* panel, double leftTw, double topTw);
    void scrollNotice();
    // The notice's text, laid out for the scrolling.
    void setNotice(const QString& text);
    Platform& platform() const { return *context_.platform; }
    // Writes one setting; a write that fails is told to the user, and the value in use stays.
    void saveSetting(const QString& key, const QString& value);
    // Shows the open-file dialog with the current filter and file name; a cancelled dialog keeps
    // the name.
    QString showOpenFileDialog();

    // ---- host IDE (MainWindow_host.cpp) ----
    void onPathPanelChooseClicked();
    // The path panel's two buttons with the path in hostPathEdit: a valid one is stored, the boards
    // are listed and the version checked (OK also closes the panel at once); otherwise the message.
    void takePathPanelChoice(bool closePanel);
    void onChooseHostClicked();
    void onRunHostClicked();
    void checkHostVersion();
    // The reaction to a version file that names no supported version.
    void offerHostDownload();
    void listBoards();
    // A board chosen in the list (also the two "refresh local libraries" commands): stored, and its
    // installed libraries listed; an empty choice shows the board-required message.
    void onBoardChosen();
    // localList gets the libraries installed for the current board. Start-up uses it alone, so
    // showing the stored board's libraries rewrites no setting.
    void listInstalledLibraries();

    // ---- catalog (MainWindow_catalog.cpp) ----
    // The window's one HTTP client, shared by every transfer (catalog, packages, examples), with the
    // time-outs of the context.
    net::HttpClient& httpClient();
    // One blocking transfer behind the platform's progress indicator; its Cancel button ends the
    // transfer with net::Outcome::Cancelled. `maxBytes` < 0: no limit. Used for the catalog, so the
    // catalog deadline of the context applies.
    net::Result fetchWithProgress(const QUrl& url, const QString& label, qint64 maxBytes);
    // The catalog download of start-up and of the retry link: the address from the settings.
    void downloadCatalog();
    // The catalog refresh of the menu: the address the download set, and a message when done.
    void refreshCatalog();
    // One catalog transfer from catalogUrl_: fetch, keep the body, check for the notice marker,
    // replace the cache, parse. On failure shows `failureText` (a body without the marker always
    // shows the update-failed text) and the retry link; returns whether the lists were rebuilt.
    bool updateCatalog(const QString& failureText);
    // A failed catalog update: the message (critical icon), then the retry link.
    void catalogUpdateFailed(const QString& message);
    // Fills the lists and captions from the catalog cache; false when the cache cannot be opened
    // (the lists are emptied all the same).
    bool parseCatalogCache();
    // Parses the catalog text and shows it: lists, captions, notice, the version question. The
    // text is kept for the details panel, the one copy of the catalog in memory.
    void applyCatalog(QString text);
    // After a failed start-up download: the catalog of the last successful one, from the cache, with
    // cachedCatalogLabel shown. False when the cache holds no catalog.
    bool showCachedCatalog();
    // Shows newVersionLink for `version`, a catalog version other than currentVersion_, and offers the
    // program page.
    void offerNewVersion(const QString& version);
    // Opens a page whose address is the setting `key`; nothing when the setting is empty.
    void openConfiguredPage(const QString& key);
    // Opens a page of the maker's site (links::programPage, ...); nothing when the site is not set.
    void openSitePage(QString (*page)(const QString& site));
    void onSiteDoubleClicked();

    // ---- libraries (MainWindow_install.cpp) ----
    void onNetworkLibraryClicked();
    void onLocalLibraryClicked();
    void showLibraryDetails();
    // 0 on success, otherwise a negative failure code. The transfer shows behind `shared` when given
    // (one indicator over several downloads), else behind an indicator of its own. A package that
    // fails `checksum` leaves the cached one as it was (install::code::BadDigest).
    qint32 downloadPackage(const QString& packageName, Platform::Progress* shared = nullptr,
                           const install::Checksum& checksum = {});
    // The 校验码 of a library's catalog section; examples have no section and pin nothing.
    install::Checksum catalogChecksum(const QString& name);
    // Extracts on a worker thread behind the progress indicator, all of the archive or only its
    // top-level items `onlyItems`. Returns whether the extraction succeeded; shows the failure (a
    // cancel shows nothing: the user asked for it).
    bool unzipPackage(const QString& zipPath, const QString& destination, const QStringList& onlyItems = {});
    // The install flow shared by the install, update and reinstall buttons: the library whose
    // details are shown (selectedLibrary_), wherever it was picked.
    void installSelectedLibrary();
    // After a failed download: offers the package an earlier download left in the cache, if any and
    // if it passes `checksum` (otherwise the checksum failure shows). Returns whether the user wants
    // it installed.
    bool offerCachedPackage(const QString& name, const install::Checksum& checksum);
    // Before anything is written into the host installation: false, with the path-settings panel
    // shown as at start-up, when the host path is not absolute or names no existing Quenra.exe.
    bool requireHostInstallation();
    // The path-settings panel over the whole client area, as start-up shows it.
    void showPathPanel();
    // Shows the board-required message when no board is chosen; returns whether one is.
    bool requireBoard();
    // Offers to start the host IDE after an install.
    void offerToStartHost();
    void onInstallLocalClicked();
    // "安装本地库" with a .zip: the libraries it carries, each top-level NAME/NAME.xml.
    void installLocalBundle(const QString& zipPath);
    void onOpenLibraryRootClicked();
    // The five open buttons: opens a folder or file of selectedLibrary_ (host::libraryXml, ...) for
    // viewing, once the name has passed the file-name check.
    using LibraryPath = QString (*)(const QString& hostPath, const QString& board, const QString& library,
                                    QChar sep);
    void openLibraryPath(LibraryPath path);

    // ---- a board's libraries as a whole (MainWindow_manage.cpp) ----
    QString currentLibraryRoot() const;
    // The installed libraries of the current board whose catalog version differs from theirs.
    QStringList librariesWithUpdates();
    void onUpdateAllClicked();
    // Moves the selected library's folder to the desktop's trash, after a question.
    void onUninstallClicked();
    void onExportClicked();
    // Shows in both library lists only the rows that contain the search text (in the name, or the
    // catalog's 库名 or 作者) and, with "仅显示可更新", only installed libraries with an update.
    void applyLibraryFilter();
    // The rows of a library list changed: the next search builds its searchable text anew.
    void invalidateSearch();

    // ---- examples (MainWindow_examples.cpp) ----
    // The host IDE's shared examples folder, from the current host path.
    QString examplesFolder() const;
    void onExamplesClicked();
    void onExampleDoubleClicked();

    // ---- conversion window (MainWindow_convert.cpp) ----
    void openConversionWindow();

    // ---- skins (MainWindow_skins.cpp) ----
    void applyStoredSkin();
    void listSkins();
    void onSkinClicked();

    // ---- controls: object name, then caption ----
    QMenu* settingsMenu = nullptr;           // shezhi: 设置
    QAction* skinAction = nullptr;           // pifu: 皮肤
    QMenu* functionsMenu = nullptr;          // gongneng: 功能
    QAction* refreshLocalAction = nullptr;   // bendiku: 刷新本地库
    QAction* refreshCatalogAction = nullptr; // wangluoku: 刷新网络库
    QAction* updateAllAction = nullptr;      // quanbugengxin: 全部更新
    QAction* exportAction = nullptr;         // daochukubao: 导出库包
    QAction* helpAction = nullptr;           // bangzhu: 帮助 (top-level, no items)
    QAction* aboutAction = nullptr;          // guanyu: 关于 (top-level, no items)

    QWidget* client = nullptr; // client: the client area, in which every panel is placed

    // Notice panel.
    QGroupBox* noticePanel = nullptr;      // Frame12: 公告
    ClickableLabel* noticeLabel = nullptr; // Label18: the scrolling notice

    // Tools panel.
    QGroupBox* toolsPanel = nullptr;              // Frame4: the detected host version
    QLabel* hostPathCaption = nullptr;            // Label16: Quenra路径：
    QLineEdit* hostPathEdit = nullptr;            // Text8: the host executable's path
    QPushButton* chooseHostButton = nullptr;      // Command16: 获取Quenra路径
    QPushButton* runHostButton = nullptr;         // Command17: 运行Quenra
    QLabel* boardCaption = nullptr;               // Label12: 板卡：
    QComboBox* boardCombo = nullptr;              // Combo2: the board list (belongs to the window)
    QPushButton* openLibraryRootButton = nullptr; // Command21: 打开库文件夹
    QPushButton* installLocalButton = nullptr;    // Command14: 安装本地库
    QPushButton* shareButton = nullptr;           // Command20: 我要分享库
    QPushButton* conversionButton = nullptr;      // Command25: 制库助手
    QPushButton* sitesButton = nullptr;           // Command28: 推荐网站
    QPushButton* examplesButton = nullptr;        // Command29: 示例收集
    QListView* spareList = nullptr;               // List7: no caption, never shown

    // Version and library information.
    QGroupBox* versionPanel = nullptr;        // Frame10: 版本及库信息
    QLabel* libraryUpdateLabel = nullptr;     // Label20: 库更新时间:…
    ClickableLabel* newVersionLink = nullptr; // Label1: 点击获取 (the new version), hidden at first
    ClickableLabel* retryLink = nullptr;      // Label2: 库文件更新失败！点击重试！
    QLabel* cachedCatalogLabel = nullptr; // Label60: 正在显示上次获取的库列表, hidden at first

    // Library lists.
    QGroupBox* librariesPanel = nullptr;        // Frame3: no caption
    QLineEdit* searchEdit = nullptr;            // Text20: 搜索库 (placeholder)
    QCheckBox* updatesOnlyCheck = nullptr;      // Check1: 仅显示可更新
    QGroupBox* localFrame = nullptr;            // Frame1: 本地库
    QListView* localList = nullptr;             // List3: the installed libraries
    QGroupBox* networkFrame = nullptr;          // Frame6: 网络库
    QListView* networkList = nullptr;           // List2: the catalog's libraries
    QGroupBox* detailsFrame = nullptr;          // Frame7: 库信息
    QPlainTextEdit* detailsText = nullptr;      // Text11: the selected library's details
    QPushButton* updateButton = nullptr;        // Command19: 更新库
    QPushButton* installButton = nullptr;       // Command13: 安装库
    QPushButton* reinstallButton = nullptr;     // Command6: 重新安装
    QPushButton* openExamplesButton = nullptr;  // Command101: 打开示例
    QPushButton* openFolderButton = nullptr;    // Command102: 打开库夹
    QPushButton* openXmlButton = nullptr;       // Command200: 打开.xml
    QPushButton* openBlockButton = nullptr;     // Command201: 打开block
    QPushButton* openGeneratorButton = nullptr; // Command202: 打开generator
    QPushButton* uninstallButton = nullptr;     // Command32: 卸载库

    // Status strip.
    QGroupBox* statusPanel = nullptr;        // Frame2: no caption
    ClickableLabel* donateLink = nullptr;    // Label7: 捐赠流量
    ClickableLabel* chatGroupLink = nullptr; // Label17: 交流群：<number>
    ClickableLabel* siteLink = nullptr;      // Label5: the maker's web address
    QLabel* titleLabel = nullptr;            // Label4: Quenra小助手V…版

    // Overlay panels.
    QGroupBox* skinPanel = nullptr;          // Frame11: 皮肤选择
    QListView* skinList = nullptr;           // List4: the skin files
    QPushButton* closeSkinsButton = nullptr; // Command24: 关闭

    QGroupBox* aboutPanel = nullptr;              // Frame8: 版本信息
    QPushButton* aboutOkButton = nullptr;         // Command4: 确定
    QLabel* aboutTitle = nullptr;                 // Label3: Quenra小助手
    QLabel* aboutIntro = nullptr;                 // Label53: 软件简介：…
    QLabel* currentVersionLabel = nullptr;        // Label50: 当前版本
    QLabel* latestVersionLabel = nullptr;         // Label51: 最新版本
    QLabel* releaseDateLabel = nullptr;           // Label52: 更新时间
    ClickableLabel* aboutSiteLink = nullptr;      // Label9: 官网网站：<site>
    QLabel* authorLabel = nullptr;                // Label10: 作者：…
    ClickableLabel* aboutChatGroupLink = nullptr; // Label11: 交流群：<number>[点击加入]

    QGroupBox* donationPanel = nullptr;         // Frame15: no caption, the donation letter
    QPushButton* closeDonationButton = nullptr; // Command31: 关闭
    QLabel* donationLetter = nullptr;           // Label24: 致亲爱的物联网爱好者们：…
    QLabel* paymentCode = nullptr;              // Image1: the payment-code picture

    QGroupBox* examplesPanel = nullptr;              // Frame14: no caption, the shared examples
    QListView* exampleList = nullptr;                // List6: the catalog's examples
    QPushButton* openSharedExamplesButton = nullptr; // Command30: 打开实例库
    QPushButton* closeExamplesButton = nullptr;      // Command27: 关闭
    QLabel* examplesHeading = nullptr;               // Label22: 示例分享     双击安装

    QGroupBox* sitesPanel = nullptr;         // Frame13: no caption, the recommended sites
    QListView* siteList = nullptr;           // List5: the catalog's sites
    QPushButton* closeSitesButton = nullptr; // Command26: 关闭
    QLabel* sitesHeading = nullptr;          // Label23: 推荐网站     双击打开

    // Path-settings panel.
    QGroupBox* pathPanel = nullptr;     // Frame9: 路径设置
    QLineEdit* pathPanelEdit = nullptr; // Text1: 点击右侧按钮获取Quenra主程序目录地址→
    QPushButton* pathPanelChooseButton = nullptr; // Command5: 获取Quenra路径
    QPushButton* pathPanelOkButton = nullptr;     // Command7: 确定
    QLabel* pathExampleLabel = nullptr;           // Label15: 地址示例：…
    QLabel* pathHintLabel = nullptr;              // Label13: 温馨提示：…
    ClickableLabel* detailsPageLink = nullptr;    // Label14: →点击查看软件详情←
    ClickableLabel* videoLink = nullptr;          // Label21: →点击查看软件使用视频教程←
    ClickableLabel* pathChatGroupLink = nullptr;  // Label19: 交流群：<number>

    // Not shown: the catalog parse on its own, which the catalog benchmark presses.
    QPushButton* parseCatalogButton = nullptr; // Command3: 解析KU的源码 C3

    QTimer* noticeTimer = nullptr; // Timer1: moves the notice every 40 ms

    // The rows of the lists of the overlay panels, there before the panels are built.
    RowsModel* skinRows_ = nullptr;    // List4
    RowsModel* exampleRows_ = nullptr; // List6
    RowsModel* siteRows_ = nullptr;    // List5

    QSet<QGroupBox*> builtPanels_; // the overlay panels whose contents exist

    // ---- state ----
    AppContext context_;
    Settings settings_;
    double noticeLeftTwips_ = 0; // noticeLabel's left edge, kept in twips so 20-twip steps add up

    // The open-file dialog is one object: its filter and its file name persist from one use to the
    // next within a run (host path choosers and the local library install).
    QString dialogFilter_;
    QString dialogFileName_;

    QString currentVersion_; // this program's version, from the settings
    // The about panel's captions from the catalog, for a panel built after the catalog was read.
    std::optional<QString> currentVersionCaption_;
    std::optional<QString> latestVersionCaption_;
    std::optional<QString> releaseDateCaption_;
    bool catalogApplied_ = false; // a catalog filled the lists in this run
    QString catalogUrl_;          // set by the download, used again by the refresh
    QString selectedLibrary_;     // the library last clicked in either list

    std::unique_ptr<net::HttpClient> http_;
    // The catalog cache parsed for the details panel; parsed again when the file changes.
    install::CatalogIndex catalogIndex_;
    // The searchable text of each library list's rows, built at the first search after the rows
    // changed (MainWindow_manage.cpp).
    struct LibrarySearch;
    std::unique_ptr<LibrarySearch> search_;
    // The path last chosen for a local install.
    QString localXmlPath_;

    // The one conversion window while it is open; closing it deletes it, which clears the pointer.
    // It has no owner, so closing the main window leaves it open. A main window that is destroyed
    // (at the end of the program, or in a test) takes a still-open one with it.
    struct ConversionWindowSlot final {
        QPointer<ConversionWindow> open;
        ConversionWindowSlot() = default;
        ~ConversionWindowSlot();
        Q_DISABLE_COPY_MOVE(ConversionWindowSlot)
    };
    ConversionWindowSlot conversionWindow_;
};
