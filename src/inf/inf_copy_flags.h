// The copy flags of the system's kernel-streaming INF files: their CopyFiles
// entries for the kernel-streaming components get the flag that makes
// Windows keep a file already on the system instead of overwriting it.
#pragma once

#include <initializer_list>

#include "platform/platform.h"

namespace setup {

// In the order the rewrite takes them.
enum class KernelStreamingInf { Ks, WdmAudio, KsFilter };

// The INF's file name.
const char* ToString(KernelStreamingInf inf);

constexpr KernelStreamingInf kEachKernelStreamingInf[] = {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio,
                                                          KernelStreamingInf::KsFilter};

// Some of the INFs: a bit each (a tree-based set would cost setup.exe more
// than the whole rewrite).
class KernelStreamingInfs {
public:
    constexpr KernelStreamingInfs(std::initializer_list<KernelStreamingInf> infs = {}) {
        for (KernelStreamingInf inf : infs) Add(inf);
    }
    constexpr void Add(KernelStreamingInf inf) { bits_ |= Bit(inf); }
    constexpr bool Has(KernelStreamingInf inf) const { return (bits_ & Bit(inf)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }

private:
    static constexpr unsigned Bit(KernelStreamingInf inf) { return 1u << static_cast<unsigned>(inf); }
    unsigned bits_ = 0;
};

constexpr KernelStreamingInfs kAllKernelStreamingInfs = {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio,
                                                         KernelStreamingInf::KsFilter};

// For each INF, in the Windows folder's "INF\": copies it line by line into
// its ".new" file, rewriting the entries, then copies that over the INF. The
// ".new" file stays. An INF is left as it was when either file does not
// open, or when its lines could not all be read and written faithfully.
void RewriteCopyFlags(platform::Platform& platform, KernelStreamingInfs infs);

}  // namespace setup
