#pragma once

#include <QtGlobal>

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

} // namespace install
