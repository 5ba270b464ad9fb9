// The two catalogues the window reads at start: the Contact ID events and the access
// point names.
#include "editor/Main.h"

#include "editor/APNCatalog.h"
#include "editor/CIDCatalog.h"
#include "lang/LangText.h"

bool TForm1::LoadCIDDescriptions()
{
    const TCIDLoadReport report = ::LoadCIDDescriptions(CIDDescriptions);
    if (!report.MustEnd())
        return true;
    for (int msg : report.Messages)
        WideMessagedlg(LangMessage(msg), ui::MsgType::Error, {ui::MsgButton::OK});
    // Without a usable catalogue no input can be shown or written: the program ends.
    TerminateProgram();
    return false;
}

void TForm1::LoadAPNCatalogue()
{
    ::LoadAPNCatalogue(APNLocations, [](const QByteArray& s) { return LangToUnicode(s); });
}
