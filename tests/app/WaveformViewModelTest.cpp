// The waveform view's arithmetic: columns and sample positions, the scroll range and
// the zoom commands, with the figures a user sees in the view.

#include <gtest/gtest.h>

#include <limits>

#include "WaveformViewModel.h"

namespace sonvira {
namespace {

TEST(WaveformViewModel, ColumnsOfSamplePositions) {
    EXPECT_EQ(ColumnOf(700, {5, 100}), 2) << "zoom 100, scrolled 5 columns";
    EXPECT_EQ(ColumnOf(100, {5, 100}), -4) << "left of the view, truncated toward zero";
    EXPECT_EQ(ColumnOf(0, {0, 1}), 0);

    const struct {
        int32_t readIndex;
        ViewGeometry view;
        int32_t column;
    } markers[] = {
        {1000, {0, 10}, 100}, {1000, {50, 10}, 50}, {1009, {0, 10}, 100},
        {100, {50, 10}, -40},  {5, {0, 10}, 0},
        {2'000'000'000, {0, 1}, 2'000'000'000},
        {2'000'000'000, {2'000'000, 1000}, 0},  // a product beyond 32 bits
    };
    for (const auto& c : markers) {
        EXPECT_EQ(MarkerColumn(c.readIndex, c.view), c.column)
            << c.readIndex << " scroll " << c.view.scroll << " zoom " << c.view.zoom;
    }
}

TEST(WaveformViewModel, SamplePositionUnderTheMouseStaysInsideTheSound) {
    const struct {
        int x;
        ViewGeometry view;
        int32_t samples, position;
    } cases[] = {
        {3, {0, 1}, 20, 3},     {3, {2, 3}, 20, 15}, {30, {0, 1}, 20, 19},  // beyond the end
        {-5, {0, 1}, 20, 0},    // left of the view
        {0, {0, 1}, 0, -1},     // an empty sound
        {1000, {1'000'000, 1'000'000}, std::numeric_limits<int32_t>::max(),
         std::numeric_limits<int32_t>::max() - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SamplePositionAt(c.x, c.view, c.samples), c.position) << "x " << c.x;
    }
}

TEST(WaveformViewModel, ScrollRangeForAZoomAndTheFractionKept) {
    EXPECT_EQ(ScrollMaximum(1000, 760, 1), 240);
    EXPECT_EQ(ScrollMaximum(1000, 760, 2), 1) << "the sound fits: at least 1";
    EXPECT_EQ(ScrollMaximum(0, 760, 100), 1);
    EXPECT_EQ(ScrollMaximum(int64_t{1} << 40, 0, 1), std::numeric_limits<int32_t>::max());

    EXPECT_EQ(ScrollKeepingFraction(50, 3000, 1000), 150);
    EXPECT_EQ(ScrollKeepingFraction(2'000'000, 2'000'000, 2'100'000), 1'904'761)
        << "no 32-bit wrap on long sounds";
    EXPECT_EQ(ScrollKeepingFraction(7, 100, 0), 7) << "no old range: the position stays";
}

TEST(WaveformViewModel, ZoomCommandsRoundHalfToEvenWithinTheFieldsBounds) {
    const struct {
        int32_t from, out, in;
    } steps[] = {{1, 2, 1}, {3, 4, 2}, {9, 14, 6}, {100, 150, 67}, {1'000'000, 1'000'000, 666'667}};
    for (const auto& c : steps) {
        EXPECT_EQ(ZoomedOut(c.from), c.out) << "Kleiner from " << c.from;
        EXPECT_EQ(ZoomedIn(c.from), c.in) << "Größer from " << c.from;
    }
    EXPECT_EQ(ZoomToShow(500'000, 760), 658) << "657.89 rounds up";
    EXPECT_EQ(ZoomToShow(0, 760), 1);
    EXPECT_EQ(ZoomToShow(1000, 0), 1000) << "a view without width counts as one column";
    EXPECT_EQ(ZoomFieldValue(2.5), 2);
    EXPECT_EQ(ZoomFieldValue(1e12), kMaxZoom);
    EXPECT_EQ(ZoomFieldValue(std::numeric_limits<double>::quiet_NaN()), kMinZoom);
}

TEST(WaveformViewModel, SelectionZoomAndScrollingBack) {
    EXPECT_EQ(ScrollToSelection(224'000, 300'000, 100, 5000), 2240);
    EXPECT_EQ(ScrollToSelection(300'000, 224'000, 100, 5000), 2240) << "bounds in reverse";
    EXPECT_EQ(ScrollToSelection(224'000, 300'000, 100, 1000), 1000) << "limited by the maximum";
    EXPECT_EQ(ScrollToSelection(-50, 10, 1, 1000), 0);
    EXPECT_EQ(ScrolledBack(25), 15);
    EXPECT_EQ(ScrolledBack(5), 0);
}

}  // namespace
}  // namespace sonvira
