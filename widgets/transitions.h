// The presentation's 54 transition effects: how a composed slide reaches the
// screen, in steps of one pixel, one stretched zoom frame or one line, each
// followed by a hook that lets the message queue run.
//
// clang-format off
// The effects, by number (W x H is the area):
//
// | Effect   | What the screen shows                                                                   |
// |----------|-----------------------------------------------------------------------------------------|
// | 1        | the whole frame at once                                                                 |
// | 2, 3     | pixel by pixel, rows from the top down / from the bottom up, each row left to right     |
// | 4, 5     | pixel by pixel, columns from the left / from the right, each column top down            |
// | 6 to 9   | zoom in 30 steps of H div 30 (6, 7) or W div 30 (8, 9) pixels, at least 1, growing from |
// |          | the bottom, top, right and left edge, then the whole frame                              |
// | 10, 11   | columns in pairs (x and W-1-x, pixel for pixel together): from both side edges to the   |
// |          | middle / from the middle out                                                            |
// | 12, 13   | rows in pairs: from top and bottom to the middle / from the middle out                  |
// | 14       | columns from both sides at once: the front from the left fills the even rows, the one   |
// |          | from the right the odd rows                                                             |
// | 15       | rows from top and bottom at once: the front from the top fills the even columns, the    |
// |          | one from the bottom the odd columns                                                     |
// | 16, 17   | two interlaced passes, even lines then odd lines: columns left to right / rows down     |
// | 18, 19   | the same: columns right to left / rows bottom to top                                    |
// | 20, 21   | two interlaced passes in opposite directions: even columns left to right, then odd      |
// |          | columns right to left / even rows down, then odd rows up                                |
// | 22, 23   | the same from the other side: columns right to left, then left to right / rows up, down |
// | 24 to 27 | diagonal wipe from the top-left, bottom-left, top-right and bottom-right corner         |
// | 28, 29   | two diagonal fronts at once, meeting in the middle: from top-left and bottom-right /    |
// |          | from top-right and bottom-left                                                          |
// | 30, 31   | two upright strips (Round(W / 2) + 1 wide) filled in parallel row by row, the left one  |
// |          | from the top and the right one from the bottom / the other way round                    |
// | 32, 33   | two lying strips (Round(H / 2) + 1 high) filled column by column, the upper one from    |
// |          | the left and the lower one from the right / the other way round                         |
// | 34, 35   | four upright strips (Round(W / 4) + 1 wide), neighbours in opposite directions, the     |
// |          | first from the top / from the bottom                                                    |
// | 36, 37   | four lying strips (Round(H / 4) + 1 high), the first from the left / from the right     |
// | 38       | spiral from the outer edge inwards, clockwise from the top-left corner                  |
// | 39       | the same spiral from the centre outwards                                                |
// | 40       | box closing: rings from the edge inwards, the four sides of a ring together             |
// | 41       | box opening: rings from the centre outwards                                             |
// | 42, 43   | row-wise wipe top down / column-wise wipe left to right, one line per step, then the    |
// |          | whole frame                                                                             |
// | 44       | interlaced columns (even, then odd, left to right), each filled from the bottom up      |
// | 45       | interlaced rows (even, then odd, top down), each filled from the right                  |
// | 46       | checkerboard: first the even cells, then the odd ones, each pass sweeping rows down     |
// | 47       | horizontal blinds: eight bands of rows (three rows at least) fill downwards together    |
// | 48       | vertical blinds: eight bands of columns (three at least) fill to the right together     |
// | 49       | diamond growing from the centre                                                         |
// | 50       | iris opening: a circle growing from the centre                                          |
// | 51       | iris closing: from the corners in to the centre                                         |
// | 52       | rows snaking from the top: left to right, then right to left                            |
// | 53       | columns snaking from the left: down, then up                                            |
// | 54       | clock wipe: a hand turning clockwise from twelve o'clock around the centre              |
// clang-format on
//
// Effect 0 stands for a random effect from 1 to 54 (ResolveEffect); any
// other number draws nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <random>
#include <vector>

#include "framework/core/types.h"

namespace vexel {

constexpr int kTransitionEffects = 54;

// The step primitives of one transition: each copies a part of the composed
// frame to the target and then runs AfterStep, whose false stops the
// transition. Frame and Target are device contexts whose areas of Width x
// Height start at (0, 0).
class TTransitionSteps {
public:
    using TAfterStep = std::function<bool()>;
    TTransitionSteps(HDC Frame, HDC Target, int Width, int Height, TAfterStep AfterStep);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Steps taken so far.
    int Count() const { return count_; }

    // Pixel (X, Y), with X and Y clamped to the area.
    bool Pixel(int X, int Y);
    // The whole frame stretched into (Left, Top)-(Right, Bottom), clamped to
    // the area (pixel-exact sampling, no smoothing).
    bool Zoom(int Left, int Top, int Right, int Bottom);
    // One row or one column.
    bool Row(int Y);
    bool Column(int X);
    bool Whole();

private:
    bool Done();

    HDC frame_;
    HDC target_;
    int width_;
    int height_;
    TAfterStep afterStep_;
    int count_ = 0;
};

// Runs the effect (1 to 54) through Steps. Returns false when AfterStep
// stopped it, true when it ran to the end or the number draws nothing.
bool RunTransition(int Effect, TTransitionSteps& Steps);

// The pixels of a pixel-wise effect (2 to 5, 10 to 41, 44 to 54) in the
// order they reach the screen, every pixel of the area once; empty for the
// other effects.
std::vector<TPoint> TransitionPixelOrder(int Effect, int Width, int Height);

// Effect 0 becomes a random effect from 1 to 54; any other number stays.
int ResolveEffect(int Effect, std::mt19937& Random);

}  // namespace vexel
