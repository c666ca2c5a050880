#pragma once

namespace korbana {

// Names under which the main window's settings are stored: the section and the components whose properties are
// kept ("PreisED" gives the value "PreisED_Value"). They are a stored format: users' existing settings files (and
// the registry on Windows) carry them, so they must never change, whatever the code calls these things.
namespace StoredNames {

inline constexpr char16_t kMainWindowSection[] = u"TMainForm";

inline constexpr char16_t kPriceField[] = u"PreisED";
inline constexpr char16_t kCurrencyField[] = u"CurrEd";
inline constexpr char16_t kLeftMargin[] = u"leftREd";
inline constexpr char16_t kTopMargin[] = u"TopREd";
inline constexpr char16_t kRightMargin[] = u"RightREd";
inline constexpr char16_t kBottomMargin[] = u"BottomREd";
inline constexpr char16_t kPrintFont[] = u"FontDialog1";
inline constexpr char16_t kStoresPanel[] = u"Panel1Laeden";
inline constexpr char16_t kProductsPanel[] = u"Panel1Produkte";

// The printout's additions, in a section of their own so that the window's section stays as it always was.
inline constexpr char16_t kPrintOptionsSection[] = u"Printout";
inline constexpr char16_t kTickBoxes[] = u"TickBoxes";
inline constexpr char16_t kGroupByShop[] = u"GroupByShop";
inline constexpr char16_t kLeaveTickedOut[] = u"LeaveTickedOut";

// The files opened or saved last, newest first, as "File1" to "File8".
inline constexpr char16_t kRecentFilesSection[] = u"RecentFiles";
inline constexpr char16_t kRecentFile[] = u"File";

} // namespace StoredNames

} // namespace korbana
