#include "widgets/transitions.h"

#include <algorithm>
#include <cmath>

#include "framework/core/sysutils.h"

namespace vexel {

// ---- TTransitionSteps ----

TTransitionSteps::TTransitionSteps(HDC Frame, HDC Target, int Width, int Height, TAfterStep AfterStep)
    : frame_(Frame), target_(Target), width_(Width), height_(Height), afterStep_(std::move(AfterStep)) {}

bool TTransitionSteps::Done() {
    ++count_;
    return !afterStep_ || afterStep_();
}

bool TTransitionSteps::Pixel(int X, int Y) {
    X = std::clamp(X, 0, width_ - 1);
    Y = std::clamp(Y, 0, height_ - 1);
    BitBlt(target_, X, Y, 1, 1, frame_, X, Y, SRCCOPY);
    return Done();
}

bool TTransitionSteps::Zoom(int Left, int Top, int Right, int Bottom) {
    Left = std::clamp(Left, 0, width_);
    Right = std::clamp(Right, 0, width_);
    Top = std::clamp(Top, 0, height_);
    Bottom = std::clamp(Bottom, 0, height_);
    if (Right > Left && Bottom > Top) {
        int oldMode = SetStretchBltMode(target_, COLORONCOLOR);
        StretchBlt(target_, Left, Top, Right - Left, Bottom - Top, frame_, 0, 0, width_, height_, SRCCOPY);
        if (oldMode)
            SetStretchBltMode(target_, oldMode);
    }
    return Done();
}

bool TTransitionSteps::Row(int Y) {
    BitBlt(target_, 0, Y, width_, 1, frame_, 0, Y, SRCCOPY);
    return Done();
}

bool TTransitionSteps::Column(int X) {
    BitBlt(target_, X, 0, 1, height_, frame_, X, 0, SRCCOPY);
    return Done();
}

bool TTransitionSteps::Whole() {
    BitBlt(target_, 0, 0, width_, height_, frame_, 0, 0, SRCCOPY);
    return Done();
}

// ---- pixel orders ----

namespace {

using TOrder = std::vector<TPoint>;

constexpr double kPi = 3.14159265358979323846;

// Appends the pixels of several fronts taken in turn, one pixel of each
// front per round, so that the fronts advance together.
void Interleave(TOrder& Order, const std::vector<TOrder>& Fronts) {
    size_t longest = 0;
    for (const TOrder& front : Fronts)
        longest = std::max(longest, front.size());
    for (size_t i = 0; i < longest; ++i)
        for (const TOrder& front : Fronts)
            if (i < front.size())
                Order.push_back(front[i]);
}

TOrder ColumnPixels(int X, int H, bool Up) {
    TOrder column;
    for (int y = 0; y < H; ++y)
        column.push_back({X, Up ? H - 1 - y : y});
    return column;
}

TOrder RowPixels(int Y, int W, bool FromRight) {
    TOrder row;
    for (int x = 0; x < W; ++x)
        row.push_back({FromRight ? W - 1 - x : x, Y});
    return row;
}

void Append(TOrder& Order, const TOrder& More) {
    Order.insert(Order.end(), More.begin(), More.end());
}

// Lines (columns when Columns, else rows) in the order Lines gives, each
// pixel by pixel; Reverse runs each line backwards (bottom up, right to left).
void Lines(TOrder& Order, const std::vector<int>& Indices, bool Columns, int W, int H, bool Reverse) {
    for (int i : Indices)
        Append(Order, Columns ? ColumnPixels(i, H, Reverse) : RowPixels(i, W, Reverse));
}

// One pass of an interlaced sweep over Count lines: the first pass takes
// every other line from the start side (0, 2, 4, ...), the second the lines
// between (1, 3, 5, ...); FromEnd counts from the far side instead
// (Count-1, Count-3, ... and Count-2, Count-4, ...).
std::vector<int> InterlacedFrom(int Count, bool FirstPass, bool FromEnd) {
    std::vector<int> indices;
    for (int i = FirstPass ? 0 : 1; i < Count; i += 2)
        indices.push_back(FromEnd ? Count - 1 - i : i);
    return indices;
}

std::vector<int> Range(int Count, bool Descending) {
    std::vector<int> indices(static_cast<size_t>(Count));
    for (int i = 0; i < Count; ++i)
        indices[static_cast<size_t>(i)] = Descending ? Count - 1 - i : i;
    return indices;
}

// Lines paired from both ends (i and Count-1-i), pixel for pixel together;
// Outwards starts at the middle pair.
void Pairs(TOrder& Order, bool Columns, bool Outwards, int W, int H) {
    int count = Columns ? W : H;
    int pairs = (count + 1) / 2;
    for (int k = 0; k < pairs; ++k) {
        int i = Outwards ? pairs - 1 - k : k;
        int j = count - 1 - i;
        TOrder a = Columns ? ColumnPixels(i, H, false) : RowPixels(i, W, false);
        if (j == i) {
            Append(Order, a);
            continue;
        }
        TOrder b = Columns ? ColumnPixels(j, H, false) : RowPixels(j, W, false);
        Interleave(Order, {a, b});
    }
}

// Two fronts crossing the whole area from opposite sides: the one from the
// start side fills the even lines across it, the other the odd ones.
void CombFronts(TOrder& Order, bool Columns, int W, int H) {
    int along = Columns ? W : H;   // the fronts move along this axis
    int across = Columns ? H : W;  // and split this one into even and odd
    for (int k = 0; k < along; ++k) {
        TOrder even, odd;
        for (int c = 0; c < across; c += 2)
            even.push_back(Columns ? TPoint{k, c} : TPoint{c, k});
        for (int c = 1; c < across; c += 2)
            odd.push_back(Columns ? TPoint{along - 1 - k, c} : TPoint{c, along - 1 - k});
        Interleave(Order, {even, odd});
    }
}

// Diagonal D (x + y = D) of a W x H area, from its top-right end, mirrored
// for the corner the wipe starts from.
TOrder Diagonal(int D, int W, int H, bool MirrorX, bool MirrorY) {
    TOrder line;
    for (int x = std::min(D, W - 1); x >= std::max(0, D - H + 1); --x) {
        int y = D - x;
        line.push_back({MirrorX ? W - 1 - x : x, MirrorY ? H - 1 - y : y});
    }
    return line;
}

void DiagonalWipe(TOrder& Order, int W, int H, bool MirrorX, bool MirrorY) {
    for (int d = 0; d <= W + H - 2; ++d)
        Append(Order, Diagonal(d, W, H, MirrorX, MirrorY));
}

// Two diagonal fronts from opposite corners that meet in the middle.
void DiagonalFronts(TOrder& Order, int W, int H, bool MirrorX) {
    int last = W + H - 2;
    int half = last / 2;
    for (int d = 0; d <= half; ++d) {
        TOrder fromStart = Diagonal(d, W, H, MirrorX, false);
        TOrder fromEnd = last - d > half ? Diagonal(last - d, W, H, MirrorX, false) : TOrder{};
        Interleave(Order, {fromStart, fromEnd});
    }
}

// Strips of Round(Size / Count) + 1 lines, filled in parallel. Upright
// strips (Upright) split the width and fill row by row, lying ones split the
// height and fill column by column; the first strip starts from the top (or
// the left) unless Reversed, its neighbours from the other end.
void Strips(TOrder& Order, int Count, bool Upright, bool Reversed, int W, int H) {
    int split = Upright ? W : H;
    int length = Upright ? H : W;
    int size = Round(static_cast<double>(split) / Count) + 1;
    std::vector<TOrder> fronts;
    for (int k = 0; k < Count; ++k) {
        int first = k * size;
        int last = std::min(split, first + size);
        bool backwards = (k % 2 == 1) != Reversed;
        TOrder front;
        for (int t = 0; t < length; ++t) {
            int along = backwards ? length - 1 - t : t;
            for (int c = first; c < last; ++c)
                front.push_back(Upright ? TPoint{c, along} : TPoint{along, c});
        }
        fronts.push_back(std::move(front));
    }
    Interleave(Order, fronts);
}

// The pixels of ring R (R pixels in from the edge) as four sides walked
// clockwise from the top-left: top, right, bottom, left.
std::vector<TOrder> RingSides(int R, int W, int H) {
    int left = R, top = R, right = W - 1 - R, bottom = H - 1 - R;
    std::vector<TOrder> sides(4);
    for (int x = left; x <= right; ++x)
        sides[0].push_back({x, top});
    for (int y = top + 1; y <= bottom; ++y)
        sides[1].push_back({right, y});
    if (bottom > top)
        for (int x = right - 1; x >= left; --x)
            sides[2].push_back({x, bottom});
    if (right > left)
        for (int y = bottom - 1; y > top; --y)
            sides[3].push_back({left, y});
    return sides;
}

int RingCount(int W, int H) {
    return (std::min(W, H) + 1) / 2;
}

void Spiral(TOrder& Order, int W, int H, bool Outwards) {
    TOrder inwards;
    for (int r = 0; r < RingCount(W, H); ++r)
        for (const TOrder& side : RingSides(r, W, H))
            Append(inwards, side);
    if (Outwards)
        std::reverse(inwards.begin(), inwards.end());
    Append(Order, inwards);
}

void Boxes(TOrder& Order, int W, int H, bool Outwards) {
    int rings = RingCount(W, H);
    for (int k = 0; k < rings; ++k)
        Interleave(Order, RingSides(Outwards ? rings - 1 - k : k, W, H));
}

// Passes over the area row by row, taking the pixels whose Pass(x, y) is
// 0 first, then those with 1.
template <class TPass>
void TwoPasses(TOrder& Order, int W, int H, TPass Pass) {
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Pass(x, y) == pass)
                    Order.push_back({x, y});
}

// Bands of Size / 8 lines (rounded up, at least 3, or blinds of one or two
// lines would look like a plain or an interlaced sweep) that fill together,
// one line of every band per round.
void Blinds(TOrder& Order, bool Rows, int W, int H) {
    int size = Rows ? H : W;
    int band = std::max(3, (size + 7) / 8);
    for (int offset = 0; offset < band; ++offset)
        for (int start = 0; start < size; start += band) {
            int line = start + offset;
            if (line >= size)
                continue;
            Append(Order, Rows ? RowPixels(line, W, false) : ColumnPixels(line, H, false));
        }
}

// Every pixel sorted by Key (smallest first); equal keys keep row order.
template <class TKey>
void ByKey(TOrder& Order, int W, int H, TKey Key) {
    std::vector<std::pair<double, TPoint>> keyed;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            keyed.push_back({Key(x, y), TPoint{x, y}});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& k : keyed)
        Order.push_back(k.second);
}

}  // namespace

std::vector<TPoint> TransitionPixelOrder(int Effect, int W, int H) {
    TOrder order;
    if (W <= 0 || H <= 0)
        return order;
    // Twice the distance from the centre, in whole numbers.
    auto dx = [W](int x) { return std::abs(2 * x - (W - 1)); };
    auto dy = [H](int y) { return std::abs(2 * y - (H - 1)); };
    switch (Effect) {
        case 2:
            Lines(order, Range(H, false), false, W, H, false);
            break;
        case 3:
            Lines(order, Range(H, true), false, W, H, false);
            break;
        case 4:
            Lines(order, Range(W, false), true, W, H, false);
            break;
        case 5:
            Lines(order, Range(W, true), true, W, H, false);
            break;
        case 10:
            Pairs(order, true, false, W, H);
            break;
        case 11:
            Pairs(order, true, true, W, H);
            break;
        case 12:
            Pairs(order, false, false, W, H);
            break;
        case 13:
            Pairs(order, false, true, W, H);
            break;
        case 14:
            CombFronts(order, true, W, H);
            break;
        case 15:
            CombFronts(order, false, W, H);
            break;
        case 16:
        case 18:
            Lines(order, InterlacedFrom(W, true, Effect == 18), true, W, H, false);
            Lines(order, InterlacedFrom(W, false, Effect == 18), true, W, H, false);
            break;
        case 17:
        case 19:
            Lines(order, InterlacedFrom(H, true, Effect == 19), false, W, H, false);
            Lines(order, InterlacedFrom(H, false, Effect == 19), false, W, H, false);
            break;
        case 20:
        case 22: {
            bool fromRight = Effect == 22;
            Lines(order, InterlacedFrom(W, true, fromRight), true, W, H, false);
            std::vector<int> back = InterlacedFrom(W, false, fromRight);
            std::reverse(back.begin(), back.end());
            Lines(order, back, true, W, H, false);
            break;
        }
        case 21:
        case 23: {
            bool fromBottom = Effect == 23;
            Lines(order, InterlacedFrom(H, true, fromBottom), false, W, H, false);
            std::vector<int> back = InterlacedFrom(H, false, fromBottom);
            std::reverse(back.begin(), back.end());
            Lines(order, back, false, W, H, false);
            break;
        }
        case 24:
            DiagonalWipe(order, W, H, false, false);
            break;
        case 25:
            DiagonalWipe(order, W, H, false, true);
            break;
        case 26:
            DiagonalWipe(order, W, H, true, false);
            break;
        case 27:
            DiagonalWipe(order, W, H, true, true);
            break;
        case 28:
            DiagonalFronts(order, W, H, false);
            break;
        case 29:
            DiagonalFronts(order, W, H, true);
            break;
        case 30:
            Strips(order, 2, true, false, W, H);
            break;
        case 31:
            Strips(order, 2, true, true, W, H);
            break;
        case 32:
            Strips(order, 2, false, false, W, H);
            break;
        case 33:
            Strips(order, 2, false, true, W, H);
            break;
        case 34:
            Strips(order, 4, true, false, W, H);
            break;
        case 35:
            Strips(order, 4, true, true, W, H);
            break;
        case 36:
            Strips(order, 4, false, false, W, H);
            break;
        case 37:
            Strips(order, 4, false, true, W, H);
            break;
        case 38:
            Spiral(order, W, H, false);
            break;
        case 39:
            Spiral(order, W, H, true);
            break;
        case 40:
            Boxes(order, W, H, false);
            break;
        case 41:
            Boxes(order, W, H, true);
            break;
        case 44:
            Lines(order, InterlacedFrom(W, true, false), true, W, H, true);
            Lines(order, InterlacedFrom(W, false, false), true, W, H, true);
            break;
        case 45:
            Lines(order, InterlacedFrom(H, true, false), false, W, H, true);
            Lines(order, InterlacedFrom(H, false, false), false, W, H, true);
            break;
        case 46: {
            int cell = std::max(1, (std::min(W, H) + 7) / 8);
            TwoPasses(order, W, H, [cell](int x, int y) { return (x / cell + y / cell) % 2; });
            break;
        }
        case 47:
            Blinds(order, true, W, H);
            break;
        case 48:
            Blinds(order, false, W, H);
            break;
        case 49:
            ByKey(order, W, H, [&](int x, int y) { return dx(x) + dy(y); });
            break;
        case 50:
            ByKey(order, W, H, [&](int x, int y) { return double(dx(x)) * dx(x) + double(dy(y)) * dy(y); });
            break;
        case 51:
            ByKey(order, W, H,
                  [&](int x, int y) { return -(double(dx(x)) * dx(x) + double(dy(y)) * dy(y)); });
            break;
        case 52:
            for (int y = 0; y < H; ++y)
                Append(order, RowPixels(y, W, y % 2 == 1));
            break;
        case 53:
            for (int x = 0; x < W; ++x)
                Append(order, ColumnPixels(x, H, x % 2 == 1));
            break;
        case 54:
            ByKey(order, W, H, [&](int x, int y) {
                // The angle clockwise from straight up, 0 up to 2 pi; the centre first.
                double ax = 2 * x - (W - 1), ay = 2 * y - (H - 1);
                if (ax == 0 && ay == 0)
                    return -1.0;
                double angle = std::atan2(ax, -ay);
                return angle < 0 ? angle + 2 * kPi : angle;
            });
            break;
        default:
            break;
    }
    return order;
}

// ---- running an effect ----

namespace {

// Zoom effects: 30 growing frames anchored at one edge, then the whole frame.
bool ZoomIn(int Effect, TTransitionSteps& S) {
    const int W = S.Width(), H = S.Height();
    const int step = std::max(1, (Effect <= 7 ? H : W) / 30);
    for (int i = 1; i <= 30; ++i) {
        int grown = i * step;
        bool stepped = true;
        switch (Effect) {
            case 6:
                stepped = S.Zoom(0, H - grown, W, H);
                break;
            case 7:
                stepped = S.Zoom(0, 0, W, grown);
                break;
            case 8:
                stepped = S.Zoom(W - grown, 0, W, H);
                break;
            default:
                stepped = S.Zoom(0, 0, grown, H);
                break;
        }
        if (!stepped)
            return false;
    }
    return S.Whole();
}

}  // namespace

bool RunTransition(int Effect, TTransitionSteps& S) {
    if (S.Width() <= 0 || S.Height() <= 0)
        return true;
    switch (Effect) {
        case 1:
            return S.Whole();
        case 6:
        case 7:
        case 8:
        case 9:
            return ZoomIn(Effect, S);
        case 42:
            for (int y = 0; y < S.Height(); ++y)
                if (!S.Row(y))
                    return false;
            return S.Whole();
        case 43:
            for (int x = 0; x < S.Width(); ++x)
                if (!S.Column(x))
                    return false;
            return S.Whole();
        default:
            for (const TPoint& p : TransitionPixelOrder(Effect, S.Width(), S.Height()))
                if (!S.Pixel(p.X, p.Y))
                    return false;
            return true;
    }
}

int ResolveEffect(int Effect, std::mt19937& Random) {
    if (Effect != 0)
        return Effect;
    std::uniform_int_distribution<int> pick(1, kTransitionEffects);
    return pick(Random);
}

}  // namespace vexel
