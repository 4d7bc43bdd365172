#pragma once
// Everything that differs between the English and the Chinese-language build lives
// here, one constant per item. The Chinese-language profile is selected at configure
// time (ZOX_EDITION=CN).

namespace zox::edition {

#ifdef ZOX_EDITION_CN
inline constexpr bool kChinese = true;
inline constexpr const char *kVersionText = "V2.00.201208.CN";
inline constexpr const char *kLanguageText = "Chinese";
#else
inline constexpr bool kChinese = false;
// Written into the first line of the log and shown by the settings dialog.
inline constexpr const char *kVersionText = "V2.00.201208.EN";
inline constexpr const char *kLanguageText = "English";
#endif

// Default of General/Title: the caption of the main window when none is configured.
inline constexpr const char *kProductTitle = "ZoxClient Dispatch Console";
// Default of Security/LoginPassword: a one-character text.
inline constexpr const char *kDefaultLoginPassword = "1";

// The Chinese-language build has no user-platform link and reads no Extend/UapEnabled.
inline constexpr bool kHasUapLink = !kChinese;

} // namespace zox::edition
