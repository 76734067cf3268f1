// Our texts keep their line breaks as the product has always written them, lone
// CRs included ("Checksum error in .HEX file" CR CR the sums); widgets and terminals
// break lines only at LF, so whatever displays a text passes it through here.
#pragma once

#include <QString>

// CR LF and lone CR become LF; the stored text itself stays as it is.
inline QString withLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
