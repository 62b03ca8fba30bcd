#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace catalog {

// The rows of one list, held once: their characters end to end in one string and where each row
// ends. A catalog of millions of rows costs its characters and one number a row, not a string
// object (and an allocation) a row.
class RowList {
public:
    qsizetype size() const { return ends_.size(); }
    bool isEmpty() const { return ends_.isEmpty(); }
    QStringView at(qsizetype i) const {
        const qsizetype begin = i == 0 ? 0 : ends_[i - 1];
        return QStringView(chars_).sliced(begin, ends_[i] - begin);
    }
    QStringView last() const { return at(size() - 1); }

    void append(QStringView row) {
        chars_.append(row);
        ends_.append(chars_.size());
    }
    void clear() {
        chars_.clear();
        ends_.clear();
    }
    // Gives back what growing left spare, once the list is complete.
    void squeeze() {
        chars_.squeeze();
        ends_.squeeze();
    }

    // A plain list of the rows, for the few callers that want one (short lists, checks).
    QStringList toStringList() const {
        QStringList out;
        out.reserve(size());
        for (qsizetype i = 0; i < size(); ++i) {
            out.append(at(i).toString());
        }
        return out;
    }
    // Lets callers that take a QStringList take the rows as they are.
    operator QStringList() const { return toStringList(); } // NOLINT(google-explicit-constructor)

    static RowList fromStringList(const QStringList& rows) {
        RowList out;
        for (const QString& row : rows) {
            out.append(row);
        }
        return out;
    }

private:
    QString chars_;
    QList<qsizetype> ends_;
};

} // namespace catalog
