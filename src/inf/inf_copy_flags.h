// The copy flags of the system's kernel-streaming INF files: their CopyFiles
// entries for the kernel-streaming components get the flag that makes
// Windows keep a file already on the system instead of overwriting it.
#pragma once

#include <set>

#include "platform/platform.h"

namespace setup {

// In the order the rewrite takes them.
enum class KernelStreamingInf { Ks, WdmAudio, KsFilter };

// The INF's file name.
const char* ToString(KernelStreamingInf inf);

inline const std::set<KernelStreamingInf> kAllKernelStreamingInfs = {
    KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio, KernelStreamingInf::KsFilter};

// For each INF, in the Windows folder's "INF\": copies it line by line into
// its ".new" file, rewriting the entries, then copies that over the INF. The
// ".new" file stays. An INF is left as it was when either file does not
// open, or when its lines could not all be read and written faithfully.
void RewriteCopyFlags(platform::Platform& platform, const std::set<KernelStreamingInf>& infs);

}  // namespace setup
