#include "host/HostPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace host {

namespace {

// The elements below the host folder shared by the board paths.
const QStringList kSrc{QStringLiteral("resources"), QStringLiteral("app"), QStringLiteral("src")};
const QString kBoards = QStringLiteral("boards");
const QString kDefault = QStringLiteral("default");

// exePath with every sep + "Quenra.exe" replaced by sep + the elements joined by sep.
QString derive(const QString& exePath, QChar sep, const QStringList& elements) {
    QString result = exePath;
    result.replace(sep + ExeName, sep + elements.join(sep), Qt::CaseSensitive);
    return result;
}

QStringList libraryElements(const QString& board, const QString& name) {
    return kSrc +
           QStringList{kBoards, kDefault, board, QStringLiteral("libraries"), QStringLiteral("ThirdParty"),
                       name};
}

} // namespace

bool isValidHostPath(const QString& exePath, QChar sep) {
    return exePath.endsWith(sep + ExeName, Qt::CaseSensitive);
}

bool isInstalledHostPath(const QString& exePath, QChar sep) {
    return isValidHostPath(exePath, sep) && QDir::isAbsolutePath(exePath) && QFileInfo(exePath).isFile();
}

QString versionFile(const QString& exePath, QChar sep) {
    return derive(exePath, sep, kSrc + QStringList{QStringLiteral("sw-config.json")});
}

QString boardsFolder(const QString& exePath, QChar sep) {
    return derive(exePath, sep, kSrc + QStringList{kBoards, kDefault});
}

QString libraryRoot(const QString& exePath, const QString& board, QChar sep) {
    return derive(exePath, sep,
                  kSrc + QStringList{kBoards, kDefault, board, QStringLiteral("libraries"),
                                     QStringLiteral("ThirdParty")});
}

QString libraryFolder(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    return derive(exePath, sep, libraryElements(board, name));
}

QString libraryReadme(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    return derive(exePath, sep, libraryElements(board, name) << QStringLiteral("readme.txt"));
}

QString libraryXml(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    return derive(exePath, sep, libraryElements(board, name) << name + QStringLiteral(".xml"));
}

QString libraryBlockScript(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    return derive(exePath, sep,
                  libraryElements(board, name) << QStringLiteral("block") << name + QStringLiteral(".js"));
}

QString libraryGeneratorScript(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    return derive(exePath, sep,
                  libraryElements(board, name)
                      << QStringLiteral("generator") << name + QStringLiteral(".js"));
}

QString libraryExamplesFolder(const QString& exePath, const QString& board, const QString& name, QChar sep) {
    // The empty last element leaves the trailing separator.
    return derive(exePath, sep, libraryElements(board, name) << QStringLiteral("examples") << QString());
}

QString sharedExamplesFolder(const QString& exePath, QChar sep) {
    return derive(exePath, sep, kSrc + QStringList{kBoards, QStringLiteral("Dravonel_examples")});
}

} // namespace host
