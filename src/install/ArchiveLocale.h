#pragma once

#include <QString>
#include <QtGlobal>

#include <archive_entry.h>

#include <optional>

#ifndef Q_OS_WIN
#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#endif

// Used by the archive readers and writers of this folder only.
namespace install {

// libarchive converts entry names with the C library's multibyte functions, which know nothing
// beyond ASCII while LC_CTYPE is the "C" locale: every non-ASCII name would then be lost. For the
// time an archive is read, this thread uses a UTF-8 LC_CTYPE when the current one is not UTF-8.
class Utf8CtypeScope final {
public:
    Utf8CtypeScope() {
#ifndef Q_OS_WIN
        if (codesetIsUtf8()) {
            return;
        }
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "en_US.utf8"}) {
            locale_t base = duplocale(LC_GLOBAL_LOCALE);
            if (base == locale_t(0)) {
                return;
            }
            utf8_ = newlocale(LC_CTYPE_MASK, name, base);
            if (utf8_ != locale_t(0)) {
                previous_ = uselocale(utf8_);
                return;
            }
            freelocale(base);
        }
#endif
    }
    ~Utf8CtypeScope() {
#ifndef Q_OS_WIN
        if (utf8_ != locale_t(0)) {
            uselocale(previous_);
            freelocale(utf8_);
        }
#endif
    }
    Q_DISABLE_COPY_MOVE(Utf8CtypeScope)

private:
#ifndef Q_OS_WIN
    static bool codesetIsUtf8() {
        const char* codeset = nl_langinfo(CODESET);
        return codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
    }
    locale_t utf8_ = locale_t(0);
    locale_t previous_ = locale_t(0);
#endif
};

// An entry's name as text; nullopt when the archive's bytes have no form in the name's charset. On
// Windows libarchive keeps names as UTF-16 and gives UTF-8 only by way of the ANSI code page, which
// lacks most characters a name may hold, so names go in and out as UTF-16 there.
inline std::optional<QString> entryName(archive_entry* entry) {
#ifdef Q_OS_WIN
    const wchar_t* name = archive_entry_pathname_w(entry);
    return name ? std::optional(QString::fromWCharArray(name)) : std::nullopt;
#else
    const char* name = archive_entry_pathname_utf8(entry);
    return name ? std::optional(QString::fromUtf8(name)) : std::nullopt;
#endif
}

// Sets an entry's name; false when it cannot be stored.
inline bool setEntryName(archive_entry* entry, const QString& name) {
#ifdef Q_OS_WIN
    archive_entry_copy_pathname_w(entry, reinterpret_cast<const wchar_t*>(name.utf16()));
    return true;
#else
    return archive_entry_update_pathname_utf8(entry, name.toUtf8().constData()) != 0;
#endif
}

} // namespace install
