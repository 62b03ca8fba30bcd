#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Checking a catalog before it is published, for what the client would meet in it.
namespace publish {

struct Problem {
    int line = 0; // from 1
    QString message;
};

// Every problem of the catalog file `file` (its bytes as the server sends them), in line order: no
// notice marker; bytes that are not GBK text; a library listed twice, under a name the client
// refuses, under a header the client reads as another name, or without 库名; version lines that
// differ; site rows without a web address; example rows naming no package or a refused one; a 校验码
// that is no digest. With `packages` (a folder holding NAME.zip), also each package of a library or
// example that is missing, not a readable zip, refused by the extraction, without NAME/NAME.xml (a
// library's), or other than its 校验码 pins.
QList<Problem> checkCatalog(const QByteArray& file, const QString& packages = {});

} // namespace publish
