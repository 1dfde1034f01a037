#pragma once

namespace sondrel::frame_grid {

// The grid of the function frames (the ping and the trace parameters share one place), in
// twips: two columns of boxes, each box under its caption.
inline constexpr int FrameWidth = 4050;
inline constexpr int FrameHeight = 2295;
inline constexpr int LeftColumn = 90;
inline constexpr int RightColumn = 2070;
inline constexpr int LeftBoxWidth = 1560;
inline constexpr int RightBoxWidth = 1500;
inline constexpr int RowTops[] = {285, 930, 1575};  // caption tops; the box follows below
inline constexpr int CaptionHeight = 255;
inline constexpr int BoxOffset = 255;
inline constexpr int BoxHeight = 330;
inline constexpr int ButtonSize = 300;

}  // namespace sondrel::frame_grid
