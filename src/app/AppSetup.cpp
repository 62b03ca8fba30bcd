#include "app/AppSetup.h"

#include "ui/Messages.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <io.h>
#endif

namespace {

void loadQtTranslations(QApplication& app) {
    QStringList dirs{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
#ifdef Q_OS_WIN
    // The portable program carries Qt's catalog in its own folder; Qt looks in the folder it was
    // installed to on the machine that built it.
    dirs.prepend(QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
#endif
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (std::any_of(dirs.cbegin(), dirs.cend(),
                        [&](const QString& dir) { return translator->load(QLatin1String(name), dir); })) {
            QApplication::installTranslator(translator);
        } else {
            delete translator;
        }
    }
}

void chooseChineseFont() {
    for (const char* family :
         {"Microsoft YaHei", "SimSun", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Source Han Sans SC"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family))) {
            QFont font{QString::fromLatin1(family)};
            font.setPointSize(9);
            QApplication::setFont(font);
            return;
        }
    }
}

} // namespace

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(msg::Title);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    loadQtTranslations(app);
    chooseChineseFont();
}

void useStartingConsole() {
#ifdef Q_OS_WIN
    // A stream redirected into a file or a pipe has its handle from the start; the others have none.
    const bool missing[] = {GetStdHandle(STD_OUTPUT_HANDLE) == nullptr,
                            GetStdHandle(STD_ERROR_HANDLE) == nullptr};
    if (!(missing[0] || missing[1]) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return; // all redirected, or started from Explorer
    }
    FILE* const streams[] = {stdout, stderr};
    for (int i = 0; i < 2; ++i) {
        if (missing[i] && std::freopen("CONOUT$", "w", streams[i])) {
            const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(streams[i])));
            DWORD mode = 0;
            if (GetConsoleMode(console, &mode)) {
                // The download percentage rewrites its line with a terminal sequence.
                SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
            }
        }
    }
    SetConsoleOutputCP(CP_UTF8);
#endif
}
