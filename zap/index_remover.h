#pragma once
// zap's work: at the start of Windows, before Internet Explorer locks them, delete the
// "*.dat" index files in the Internet Explorer folders that mainten.ini names
// ([Path] IE1 to IE4), and the history's own records under IE1 (History.IE5\index.dat and
// MSHist*\index.dat in it), which the history sweep spares while they are locked.
// Failures go to the run log under names beginning "ZAP-".
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/files.h"

namespace trwk::zap {

// Reads mainten.ini in programFolder (its own folder, without a trailing separator) and
// deletes the index files of the four folders, going on past any that cannot go.
// The desktop names the system folders that are never cleaned, whatever mainten.ini says.
// Returns how many files were deleted.
std::uint64_t removeIndexFiles(Files& files, Clock& clock, Desktop& desktop,
                               const std::string& programFolder);

}  // namespace trwk::zap
