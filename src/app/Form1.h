#pragma once

#include "app/AppContext.h"
#include "app/Platform.h"
#include "catalog/HttpClient.h"
#include "install/LibraryDetails.h"
#include "settings/Settings.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class ClickableLabel;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TextHolder;

// The main window. Controls keep the names users and the handbook know them by, both as members and
// as Qt object names. The handlers of each area live in a file of their own:
//   Form1.cpp           start-up, layout, overlay panels, notice scrolling
//   Form1_host.cpp      host IDE location, version check, boards and installed libraries
//   Form1_catalog.cpp   catalog download, parse, notices and links
//   Form1_install.cpp   library details, package download and extraction, installing, browsing
//   Form1_examples.cpp  shared examples
//   Form1_convert.cpp   opening the conversion window
//   Form1_skins.cpp     skins
class Form1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const AppContext& context, QWidget* parent = nullptr);
    ~Form1() override;
    Q_DISABLE_COPY_MOVE(Form1)

    // Form_Initialize, then Form_Load. The window is shown by the caller afterwards.
    void startUp();

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

    // Main-window variables.
    QString CurrentVersion;
    QString LatestVersion;
    QString CatalogUrl;
    QString SelectedLibrary;

    // ---- shell ----
    void Form_Initialize();
    void Form_Load();
    void HideOverlayPanels();
    void Timer1_Timer();
    // The toggle rule of the overlay panels: a visible panel hides; otherwise all overlay panels hide
    // and this one shows.
    void toggleOverlay(QGroupBox* panel);
    void pifu_Click();
    void Command24_Click();
    void guanyu_Click();
    void Command4_Click();
    void Label7_Click();
    void Command31_Click();
    void Command28_Click();
    void Command26_Click();
    void Command27_Click();

    // ---- host IDE (Form1_host.cpp) ----
    void Command5_Click();
    void Command7_Click();
    void Command16_Click();
    void Command17_Click();
    void CheckHostVersion();
    void ListBoards();
    void Combo2_Click();
    void bendiku_Click();
    void Command18_Click();

    // ---- catalog (Form1_catalog.cpp) ----
    void Command9_Click();
    void Command10_Click();
    void wangluoku_Click();
    void Label2_Click();
    void Command3_Click();
    void Label1_Click();
    void bangzhu_Click();
    void Label14_Click();
    void Label18_Click();
    void Command20_Click();
    void Label9_Click();
    void Label5_Click();
    void Label21_Click();
    void Label19_Click();
    void Label17_Click();
    void Label11_Click();
    void List5_DblClick();

    // ---- libraries (Form1_install.cpp) ----
    void List2_Click();
    void List3_Click();
    void ShowLibraryDetails();
    // 0 on success, otherwise a negative failure code.
    qint32 DownloadPackage(const QString& packageName);
    // Returns whether the extraction succeeded.
    bool UnzipFile(const QString& zipPath, const QString& destination);
    void Command13_Click();
    void Command19_Click();
    void Command6_Click();
    void Command14_Click();
    void Command21_Click();
    void Command101_Click();
    void Command102_Click();
    void Command200_Click();
    void Command201_Click();
    void Command202_Click();

    // ---- examples (Form1_examples.cpp) ----
    void Command29_Click();
    void Command30_Click();
    void List6_DblClick();

    // ---- conversion window (Form1_convert.cpp) ----
    void Command25_Click();

    // ---- skins (Form1_skins.cpp) ----
    void ApplySkin();
    void ListSkins();
    void List4_Click();

    // ---- controls ----
    // Menus.
    QMenu* shezhi = nullptr;      // 设置
    QAction* pifu = nullptr;      // 皮肤
    QMenu* gongneng = nullptr;    // 功能
    QAction* bendiku = nullptr;   // 刷新本地库
    QAction* wangluoku = nullptr; // 刷新网络库
    QAction* bangzhu = nullptr;   // 帮助 (top-level, no items)
    QAction* guanyu = nullptr;    // 关于 (top-level, no items)

    QWidget* client = nullptr; // the client area, in which every panel is placed

    // Notice panel.
    QGroupBox* Frame12 = nullptr;      // 公告
    ClickableLabel* Label18 = nullptr; // scrolling notice

    // Tools panel.
    QGroupBox* Frame4 = nullptr;      // caption: detected host version
    QLabel* Label16 = nullptr;        // Quenra路径：
    QLineEdit* Text8 = nullptr;       // host executable path
    QPushButton* Command16 = nullptr; // 获取Quenra路径
    QPushButton* Command17 = nullptr; // 运行Quenra
    QLabel* Label12 = nullptr;        // 板卡：
    QComboBox* Combo2 = nullptr;      // board list (belongs to the window)
    QPushButton* Command21 = nullptr; // 打开库文件夹
    QPushButton* Command14 = nullptr; // 安装本地库
    QPushButton* Command20 = nullptr; // 我要分享库
    QPushButton* Command25 = nullptr; // 制库助手
    QPushButton* Command28 = nullptr; // 推荐网站
    QPushButton* Command29 = nullptr; // 示例收集
    QListWidget* List7 = nullptr;     // never shown

    // Version and library information.
    QGroupBox* Frame10 = nullptr;     // 版本及库信息
    QLabel* Label20 = nullptr;        // 库更新时间:…
    ClickableLabel* Label1 = nullptr; // new-version link, hidden at first
    ClickableLabel* Label2 = nullptr; // retry link

    // Library lists.
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame1 = nullptr; // 本地库
    QListWidget* List3 = nullptr;
    QGroupBox* Frame6 = nullptr; // 网络库
    QListWidget* List2 = nullptr;
    QGroupBox* Frame7 = nullptr; // 库信息
    QPlainTextEdit* Text11 = nullptr;
    QPushButton* Command19 = nullptr;  // 更新库
    QPushButton* Command13 = nullptr;  // 安装库
    QPushButton* Command6 = nullptr;   // 重新安装
    QPushButton* Command101 = nullptr; // 打开示例
    QPushButton* Command102 = nullptr; // 打开库夹
    QPushButton* Command200 = nullptr; // 打开.xml
    QPushButton* Command201 = nullptr; // 打开block
    QPushButton* Command202 = nullptr; // 打开generator

    // Status strip.
    QGroupBox* Frame2 = nullptr;
    ClickableLabel* Label7 = nullptr;  // 捐赠流量
    ClickableLabel* Label17 = nullptr; // chat-group number
    ClickableLabel* Label5 = nullptr;  // maker's web address
    QLabel* Label4 = nullptr;          // Quenra小助手V…版

    // Overlay panels.
    QGroupBox* Frame11 = nullptr; // 皮肤选择
    QListWidget* List4 = nullptr;
    QPushButton* Command24 = nullptr; // 关闭

    QGroupBox* Frame8 = nullptr;     // 版本信息
    QPushButton* Command4 = nullptr; // 确定
    QLabel* Label3 = nullptr;
    QLabel* Label53 = nullptr;
    QLabel* Label50 = nullptr;         // 当前版本
    QLabel* Label51 = nullptr;         // 最新版本
    QLabel* Label52 = nullptr;         // 更新时间
    ClickableLabel* Label9 = nullptr;  // web site
    QLabel* Label10 = nullptr;         // author
    ClickableLabel* Label11 = nullptr; // chat group

    QGroupBox* Frame15 = nullptr;     // donation
    QPushButton* Command31 = nullptr; // 关闭
    QLabel* Label24 = nullptr;
    QLabel* Image1 = nullptr;

    QGroupBox* Frame14 = nullptr; // examples
    QListWidget* List6 = nullptr;
    QPushButton* Command30 = nullptr; // 打开实例库
    QPushButton* Command27 = nullptr; // 关闭
    QLabel* Label22 = nullptr;

    QGroupBox* Frame13 = nullptr; // recommended sites
    QListWidget* List5 = nullptr;
    QPushButton* Command26 = nullptr; // 关闭
    QLabel* Label23 = nullptr;

    // Path-settings panel.
    QGroupBox* Frame9 = nullptr; // 路径设置
    QLineEdit* Text1 = nullptr;
    QPushButton* Command5 = nullptr; // 获取Quenra路径
    QPushButton* Command7 = nullptr; // 确定
    QLabel* Label15 = nullptr;
    QLabel* Label13 = nullptr;
    ClickableLabel* Label14 = nullptr;
    ClickableLabel* Label19 = nullptr;
    ClickableLabel* Label21 = nullptr;

    // Non-displayed controls.
    QPushButton* Command9 = nullptr;  // 获取源码C9 (catalog download)
    QPushButton* Command3 = nullptr;  // 解析KU的源码 C3 (catalog parse)
    QPushButton* Command10 = nullptr; // catalog refresh
    QPushButton* Command18 = nullptr; // 刷新本地库
    TextHolder* Text12 = nullptr;     // body of the last catalog transfer (held, never shown)
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text16 = nullptr;
    QLineEdit* Text17 = nullptr;
    QLineEdit* Text19 = nullptr;
    QLineEdit* Text18 = nullptr; // path chosen in the file dialog (local install)

    QTimer* Timer1 = nullptr;

    const Settings& settings() const { return settings_; }
    const AppContext& context() const { return context_; }

private:
    void buildMenus();
    void buildPanels();
    void buildOverlayPanels();
    void buildPathPanel();
    void buildHiddenControls();
    void connectHandlers();
    void placeOverlay(QGroupBox* panel, double leftTw, double topTw);
    Platform& platform() const { return *context_.platform; }
    // Writes one setting; a write that fails is told to the user, and the value in use stays.
    void saveSetting(const QString& key, const QString& value);

    AppContext context_;
    Settings settings_;
    double noticeLeftTwips_ = 0; // Label18's left edge, kept in twips so 20-twip steps add up

    // The open-file dialog is one object: its filter and its file name persist from one use to the
    // next within a run (host path choosers and the local library install).
    QString dialogFilter_;
    QString dialogFileName_;
    // Shows the dialog with the current filter and file name; a cancelled dialog keeps the name.
    QString showOpenFileDialog();

    // ---- host IDE state ----
    // The path panel's two buttons with the path in Text8: a valid one is stored, the boards are
    // listed and the version checked (OK also closes the panel at once); otherwise the message.
    void takePathPanelChoice(bool closePanel);
    // Steps 4 to 6 of the board-selected handling: List3 gets the libraries installed for the current
    // board. Start-up uses it alone, so showing the stored board's libraries rewrites no setting.
    void listInstalledLibraries();
    // The reaction to a version file that names no supported version.
    void offerHostDownload();

    // ---- catalog state ----
    // The window's one HTTP client, shared by every transfer (catalog, packages, examples), with the
    // time-outs of the context.
    net::HttpClient& httpClient();
    std::unique_ptr<net::HttpClient> http_;
    // One blocking transfer behind the platform's progress indicator; its Cancel button ends the
    // transfer with net::Outcome::Cancelled. `maxBytes` < 0: no limit. Used for the catalog, so the
    // catalog deadline of the context applies.
    net::Result fetchWithProgress(const QUrl& url, const QString& label, qint64 maxBytes);
    // The same for a package download into a file (replaced only when the whole body has arrived),
    // limited to the context's package size.
    net::Result downloadWithProgress(const QUrl& url, const QString& targetPath, const QString& label);
    // The catalog parse behind Command3; false when the cache cannot be opened (the lists are
    // emptied all the same).
    bool parseCatalogCache();
    // Shows Label1 for `version`, a catalog version other than CurrentVersion, and offers the
    // program page.
    void offerNewVersion(const QString& version);
    // One catalog transfer from CatalogUrl: fetch, keep the body in Text12, check for the notice
    // marker, replace the cache, parse. On failure shows `failureText` (a body without the marker
    // always shows the update-failed text) and the retry label; returns whether the lists were rebuilt.
    bool updateCatalog(const QString& failureText);
    // A failed catalog update: the message (critical icon), then the retry label.
    void catalogUpdateFailed(const QString& message);
    // Opens a page whose address is a setting; nothing when the setting is empty.
    void openConfiguredPage(const QString& address);
    // Opens a page of the maker's site (links::programPage, ...); nothing when the site is not set.
    void openSitePage(QString (*page)(const QString& site));

    // ---- libraries state ----
    // The catalog cache parsed for the details panel; parsed again when the file changes.
    install::CatalogIndex catalogIndex_;
    // The install flow shared by Command13, Command19 and Command6.
    void installSelectedLibrary();
    // The selected entry of List2; empty when nothing is selected.
    QString selectedNetworkLibrary() const;
    // Shows the board-required message when no board is chosen; returns whether one is.
    bool requireBoard();
    // Offers to start the host IDE after an install.
    void offerToStartHost();
    // Opens a folder or file of SelectedLibrary (host::libraryXml, ...) for viewing, once the name
    // has passed the file-name check.
    void viewSelectedLibraryItem(QString (*path)(const QString& exePath, const QString& board,
                                                 const QString& name, QChar sep));

    // ---- examples state ----
    // The host IDE's shared examples folder, from the current host path.
    QString examplesFolder() const;

    // ---- conversion window state ----
    // The one conversion window while it is open; closing it deletes it, which clears the pointer.
    // It has no owner, so closing the main window leaves it open. A main window that is destroyed
    // (at the end of the program, or in a test) takes a still-open one with it.
    struct ConversionWindow final {
        QPointer<class Form2> open;
        ConversionWindow() = default;
        ~ConversionWindow();
        Q_DISABLE_COPY_MOVE(ConversionWindow)
    };
    ConversionWindow conversionWindow_;

    // ---- skins state ----
};
