#pragma once
// The arithmetic of the console's narrow vertical scroll bar: range, view, line and
// page in the owner's pixel units, the position, and where the thumb sits on the
// track. The bar window calls it and notifies its owner whenever a call returns true.
//
// Degenerate geometry is safe: a collapsed host (view 0) gives page 0, and then page
// steps and ResetViewport do nothing; a line of 0 or less makes the page the whole
// view and line steps do nothing; a view smaller than the two arrows gives a thumb of
// height 0 instead of a negative one; the thumb never lies above the track.

class ScrollBarModel {
public:
    static constexpr int kArrowHeight = 12; // each of the two arrow pictures
    static constexpr int kInitialPage = 24;
    static constexpr int kInitialThumbHeight = 10;

    // SetParams: a range below 1 is ignored (false, nothing changes). Otherwise the
    // geometry is taken, the position clamped to [0, maxPosition], the thumb sized
    // and placed; true when the requested position had to be clamped.
    bool SetParams(int range, int view, int line, int position);

    // The track height (between the arrows) changes with the bar's size.
    void SetTrackHeight(int height);

    // Steps; true when the position moved (the owner is notified).
    bool ScrollLineUp();
    bool ScrollLineDown();
    bool ScrollPageUp();
    bool ScrollPageDown();

    // Scrolls in whole pages until row (counted from 1, one line high) is visible.
    // True when anything moved.
    bool ResetViewport(int row);

    // Left button released over the track (outside the thumb) at y.
    bool TrackClick(int y);
    // Left button down on the thumb at y (inside the thumb).
    void BeginDrag(int y);
    // Mouse moved over the thumb with the left button held, at y (thumb coordinates).
    // True when the position changed.
    bool DragTo(int y);

    // Places the thumb for the current position.
    void UpdateTrackPos();

    int GetPosition() const { return position_; }
    int Range() const { return range_; }
    int Page() const { return page_; }
    int Line() const { return line_; }
    int MinPosition() const { return 0; }
    int MaxPosition() const { return maxPosition_; }
    int ThumbHeight() const { return thumbHeight_; }
    int ThumbTop() const { return thumbTop_; }
    int TrackHeight() const { return trackHeight_; }
    int DragAnchorY() const { return dragAnchorY_; }

private:
    bool StepUp(int step);
    bool StepDown(int step);
    int ThumbLimit() const; // lowest thumb top: track height - thumb height - 2

    int range_ = 0;
    int page_ = kInitialPage;
    int line_ = 0;
    int position_ = 0;
    int maxPosition_ = 0;
    int thumbHeight_ = kInitialThumbHeight;
    int thumbTop_ = 0;
    int trackHeight_ = 0;
    int dragAnchorY_ = 0;
};
