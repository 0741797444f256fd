// The transition effects on small off-screen areas: every effect ends with
// the frame on the target, the pixel sweeps reach every pixel once and in
// the order their lines say, zooms and line wipes grow from their edge, a
// hook can stop a transition, and effect 0 stands for all the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>

#include "framework/win32/graphics.h"
#include "tests/framework/win32_test_support.h"
#include "widgets/transitions.h"

using namespace vexel;
using vexel::testing::Fill;

namespace {

constexpr TColor kUntouched = clBlack;

// A frame whose every pixel has a colour of its own, none of them black.
void PaintFrame(TBitmap& frame) {
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            frame.SetPixelColor(x, y, RGBColor(40 + x * 4 % 200, 40 + y * 5 % 200, 200 - (x + y) % 100));
}

// A frame and a black target of one size, and a transition between them.
struct TransitionStage {
    TBitmap frame, target;
    int steps = 0;

    TransitionStage(int width, int height) : frame(width, height), target(width, height) {
        PaintFrame(frame);
        Fill(target, kUntouched);
    }

    // Runs the effect; OnStep sees the target after every step and may stop it.
    bool Run(int effect, std::function<bool(int step)> onStep = nullptr) {
        TTransitionSteps s(frame.Canvas()->Handle(), target.Canvas()->Handle(), frame.Width(), frame.Height(),
                           [&] { return !onStep || onStep(++steps); });
        bool finished = RunTransition(effect, s);
        EXPECT_EQ(s.Count(), onStep ? steps : s.Count());
        steps = s.Count();
        return finished;
    }

    bool Copied(int x, int y) { return target.PixelColor(x, y) == frame.PixelColor(x, y); }
    bool Untouched(int x, int y) { return target.PixelColor(x, y) == kUntouched; }

    // Pixels of the target that do not show the frame.
    int Differences() {
        int n = 0;
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x)
                n += !Copied(x, y);
        return n;
    }
};

bool IsPixelEffect(int effect) {
    return effect != 1 && !(effect >= 6 && effect <= 9) && effect != 42 && effect != 43;
}

}  // namespace

TEST(Transitions, EveryEffectEndsWithTheWholeFrameOnTheTarget) {
    std::map<int, int> steps;
    for (int effect = 1; effect <= kTransitionEffects; ++effect) {
        TransitionStage stage(12, 9);
        EXPECT_TRUE(stage.Run(effect)) << "effect " << effect;
        EXPECT_EQ(stage.Differences(), 0) << "effect " << effect;
        steps[effect] = stage.steps;
    }
    EXPECT_EQ(steps[1], 1);
    for (int effect : {6, 7, 8, 9})
        EXPECT_EQ(steps[effect], 31) << "effect " << effect;  // 30 zoom frames, then the whole
    EXPECT_EQ(steps[42], 9 + 1);
    EXPECT_EQ(steps[43], 12 + 1);
    for (int effect = 1; effect <= kTransitionEffects; ++effect) {
        if (IsPixelEffect(effect)) {
            EXPECT_EQ(steps[effect], 12 * 9) << "effect " << effect;
        }
    }
}

TEST(Transitions, NumbersOutsideTheTableDrawNothing) {
    for (int effect : {0, 55, 56, 1000, -1}) {
        TransitionStage stage(12, 9);
        EXPECT_TRUE(stage.Run(effect));
        EXPECT_EQ(stage.steps, 0);
        EXPECT_EQ(stage.Differences(), 12 * 9) << "effect " << effect;
    }
}

TEST(Transitions, PixelSweepsReachEveryPixelOnceInOrdersOfTheirOwn) {
    // Odd, even, thin and single-pixel areas, where off-by-one slips show.
    const TSize sizes[] = {{12, 9}, {13, 7}, {1, 1}, {1, 6}, {6, 1}, {2, 3}, {40, 30}};
    for (const TSize& size : sizes) {
        std::map<std::vector<std::pair<int, int>>, int> seen;
        for (int effect = 1; effect <= kTransitionEffects; ++effect) {
            std::vector<TPoint> order = TransitionPixelOrder(effect, size.cx, size.cy);
            if (!IsPixelEffect(effect)) {
                EXPECT_TRUE(order.empty()) << "effect " << effect;
                continue;
            }
            std::set<std::pair<int, int>> pixels;
            std::vector<std::pair<int, int>> sequence;
            for (const TPoint& p : order) {
                EXPECT_TRUE(p.X >= 0 && p.X < size.cx && p.Y >= 0 && p.Y < size.cy) << "effect " << effect;
                pixels.insert({p.X, p.Y});
                sequence.push_back({p.X, p.Y});
            }
            EXPECT_EQ(order.size(), static_cast<size_t>(size.cx * size.cy))
                << "effect " << effect << " on " << size.cx << " x " << size.cy;
            EXPECT_EQ(pixels.size(), order.size()) << "effect " << effect << " repeats pixels";
            // On a real area no two effects may sweep alike.
            if (size.cx >= 12 && size.cy >= 7) {
                auto [it, fresh] = seen.insert({sequence, effect});
                EXPECT_TRUE(fresh) << "effect " << effect << " sweeps like effect " << it->second << " on "
                                   << size.cx << " x " << size.cy;
            }
        }
    }
}

TEST(Transitions, RowAndColumnSweepsReachTheScreenInTheirOrder) {
    // Sampled after every step: exactly the first `step` pixels of the
    // effect's order are on the target, the rest untouched.
    const int W = 12, H = 9;
    const std::function<int(int, int)> position[] = {
        [](int x, int y) { return y * W + x; },            // 2: rows from the top
        [](int x, int y) { return (H - 1 - y) * W + x; },  // 3: rows from the bottom
        [](int x, int y) { return x * H + y; },            // 4: columns from the left
        [](int x, int y) { return (W - 1 - x) * H + y; },  // 5: columns from the right
    };
    for (int effect = 2; effect <= 5; ++effect) {
        TransitionStage stage(W, H);
        int wrong = 0;
        stage.Run(effect, [&](int step) {
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    bool due = position[effect - 2](x, y) < step;
                    wrong += due ? !stage.Copied(x, y) : !stage.Untouched(x, y);
                }
            return true;
        });
        EXPECT_EQ(wrong, 0) << "effect " << effect;
    }
}

TEST(Transitions, ZoomsGrowFromTheirEdgeInThirtySteps) {
    // 60 x 45: a step is 45 div 30 = 1 row or 60 div 30 = 2 columns.
    const int W = 60, H = 45;
    struct {
        int effect;
        std::function<bool(int x, int y, int grown)> inside;
    } zooms[] = {
        {6, [](int, int y, int g) { return y >= H - g; }},
        {7, [](int, int y, int g) { return y < g; }},
        {8, [](int x, int, int g) { return x >= W - g; }},
        {9, [](int x, int, int g) { return x < g; }},
    };
    for (const auto& zoom : zooms) {
        TransitionStage stage(W, H);
        const int grownBy = zoom.effect <= 7 ? 1 : 2;
        int checked = 0, wrong = 0;
        stage.Run(zoom.effect, [&](int step) {
            if (step == 10 || step == 20) {
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        wrong += zoom.inside(x, y, step * grownBy) == stage.Untouched(x, y);
                ++checked;
            }
            return true;
        });
        EXPECT_EQ(checked, 2);
        EXPECT_EQ(wrong, 0) << "effect " << zoom.effect;
        EXPECT_EQ(stage.steps, 31);
    }
    // The picture is the whole frame squeezed, not a part of it: a third of
    // the way down, the last row of a top zoom shows one of the frame's last
    // rows.
    TransitionStage stage(W, H);
    int shownRow = -1;
    stage.Run(7, [&](int step) {
        if (step == 15)
            for (int y = 0; y < H; ++y)
                if (stage.target.PixelColor(0, 14) == stage.frame.PixelColor(0, y))
                    shownRow = y;
        return true;
    });
    EXPECT_GE(shownRow, H - 4);
}

TEST(Transitions, LineWipesCopyOneLinePerStep) {
    TransitionStage rows(12, 9), columns(12, 9);
    int wrong = 0;
    rows.Run(42, [&](int step) {
        for (int y = 0; y < 9 && step <= 9; ++y)
            wrong += y < step ? !rows.Copied(5, y) : !rows.Untouched(5, y);
        return true;
    });
    columns.Run(43, [&](int step) {
        for (int x = 0; x < 12 && step <= 12; ++x)
            wrong += x < step ? !columns.Copied(x, 4) : !columns.Untouched(x, 4);
        return true;
    });
    EXPECT_EQ(wrong, 0);
}

TEST(Transitions, AHookThatSaysStopEndsTheTransitionAtOnce) {
    for (int effect : {2, 7, 30, 42, 54}) {
        TransitionStage stage(12, 9);
        EXPECT_FALSE(stage.Run(effect, [](int step) { return step < 3; })) << "effect " << effect;
        EXPECT_EQ(stage.steps, 3) << "effect " << effect;
    }
    // A pixel sweep stopped after three steps shows three pixels.
    TransitionStage stage(12, 9);
    stage.Run(38, [](int step) { return step < 3; });
    EXPECT_EQ(stage.Differences(), 12 * 9 - 3);
}

TEST(Transitions, PixelStepsClampToTheArea) {
    TransitionStage stage(4, 3);
    TTransitionSteps s(stage.frame.Canvas()->Handle(), stage.target.Canvas()->Handle(), 4, 3, nullptr);
    s.Pixel(-5, 1);
    s.Pixel(9, 9);
    s.Zoom(-10, -10, 100, 100);  // the whole area
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(stage.Differences(), 0);
    TransitionStage corners(4, 3);
    TTransitionSteps c(corners.frame.Canvas()->Handle(), corners.target.Canvas()->Handle(), 4, 3, nullptr);
    c.Pixel(-5, 1);
    c.Pixel(9, 9);
    EXPECT_TRUE(corners.Copied(0, 1));
    EXPECT_TRUE(corners.Copied(3, 2));
    EXPECT_EQ(corners.Differences(), 12 - 2);
}

TEST(Transitions, EffectZeroStandsForEveryEffectFromOneToFiftyFour) {
    std::mt19937 random(2024);
    std::set<int> drawn;
    for (int i = 0; i < 3000; ++i)
        drawn.insert(ResolveEffect(0, random));
    EXPECT_EQ(drawn.size(), 54u);
    EXPECT_EQ(*drawn.begin(), 1);
    EXPECT_EQ(*drawn.rbegin(), 54);
    for (int effect : {1, 17, 54, 55, 99})
        EXPECT_EQ(ResolveEffect(effect, random), effect);
}
