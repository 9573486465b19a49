#pragma once

// For the few small functions of the hottest loops whose inlining the compiler may decline:
// a call there costs more than the function (the ABI keeps no extended value in a register
// across a call).
#if defined(__GNUC__)
#define TAVEL_INLINE [[gnu::always_inline]] inline
#else
#define TAVEL_INLINE inline
#endif
