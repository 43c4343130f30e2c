#pragma once

#include "platform/Profile.h"
#include "print/PrintCaptions.h"

// Sets the maker's line in the test's own settings; an empty text removes
// the key, as a fresh installation has it.
inline bool SetMakerLine(const QString& text)
{
    return WritePrivateProfileString(QLatin1String(MAKER_LINE_SECTION), QLatin1String(MAKER_LINE_KEY),
                                     text.isEmpty() ? QString() : text, QLatin1String(PROFILE_FILE));
}
