#include "fbapi_p.h"

#include <ibase.h>

#include <vector>

Q_LOGGING_CATEGORY(lcIbo, "morvex.ibo", QtInfoMsg)

namespace ibo {

Firebird::IMaster *Master()
{
    static Firebird::IMaster *const master = Firebird::fb_get_master_interface();
    return master;
}

Firebird::IUtil *Util()
{
    return Master()->getUtilInterface();
}

EIB_ISCError ErrorFromStatus(const Firebird::IStatus *status)
{
    // formatStatus cuts the text at the buffer's size; a status vector holds
    // at most 20 entries of a few hundred bytes each.
    std::vector<char> text(8192, '\0');
    Util()->formatStatus(text.data(), unsigned(text.size()), const_cast<Firebird::IStatus *>(status));
    const intptr_t *errors = status->getErrors();
    const intptr_t gds = errors[0] == isc_arg_gds ? errors[1] : 0;
    const int sqlCode = int(isc_sqlcode(errors));
    return EIB_ISCError(QString::fromUtf8(text.data()).trimmed(), sqlCode, gds);
}

bool QuietStatus::Check(const char *what)
{
    if (!Failed())
        return true;
    qCWarning(lcIbo) << what << "failed:" << ErrorFromStatus(this).Message();
    return false;
}

QString QuoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace ibo
