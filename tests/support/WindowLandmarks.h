#pragma once

// Where the window's controls stand on its canvas (logical pixels; a window opens at 100 %),
// for tests that reach the built plug-in's window only through the screen. A window test checks
// every point against the control it names, so a layout change that moves one fails there, by
// name, instead of as a click that lands somewhere else.
namespace corvessa::test::landmarks
{
struct Landmark
{
    const char* control;   // the window tests' name for the control
    int x, y;
};

// The header of a song without a tempo, where the sync control has its full width.
inline constexpr Landmark syncOff { "sync Off", 390, 76 };
inline constexpr Landmark syncLeader { "sync Leader", 470, 76 };
inline constexpr Landmark syncFollower { "sync Follower", 550, 76 };

inline constexpr Landmark pillAll { "pill All", 403, 143 };
inline constexpr Landmark pillBass { "pill Bass", 453, 143 };
inline constexpr Landmark pillBody { "pill Body", 503, 143 };
inline constexpr Landmark pillShimmer { "pill Shimmer", 554, 143 };

// On the Shimmer tab.
inline constexpr Landmark shimmerTop { "Top", 435, 227 };
inline constexpr Landmark shimmerHalo { "Halo", 552, 227 };

// The buttons of the confirmation dialog while it is open.
inline constexpr Landmark dialogConfirm { "dialog confirm", 367, 483 };
inline constexpr Landmark dialogCancel { "dialog cancel", 481, 483 };

inline constexpr Landmark headerAndOutputs[] { syncOff, syncLeader, syncFollower, pillAll, pillBass, pillBody, pillShimmer };
} // namespace corvessa::test::landmarks
