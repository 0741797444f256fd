# What both MinGW-w64 toolchain files share.

# MinGW's GCC lets a caller rely on the registers a callee in the same unit
# leaves alone (-fipa-ra, from -O2) even when the callee is an inline
# function whose copy the linker may replace by another unit's: a copy built
# at another optimisation level then overwrites the caller's registers
# (std::mt19937 looped for ever in the test programs). Every unit goes
# without it, so units of different levels link safely.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")
