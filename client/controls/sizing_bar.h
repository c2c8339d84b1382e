// A pane docked on one edge of the main frame with a size of its own: a
// caption strip with the pane's title and a close glyph (or no strip at all,
// for the web panes), sizable edges, and client margins. The panes never
// float; the frame places them in rows along its edges (see dock_layout.h)
// and tells each pane which of its edges are sizable.
#pragma once

#include <windows.h>

#include <functional>

#include "client/model/dock_layout.h"
#include "fw/window.h"

class CSizingControlBar : public fw::Window {
public:
    enum class Dock { Top, Right, Bottom };
    static constexpr int kEdgeWidth = 5;
    static constexpr int kGripperWidth = 12;
    static constexpr int kCloseSize = 11;

    // Set before CreateBar.
    SIZE horzSize{20, 20};  // docked on the top or bottom
    SIZE vertSize{20, 20};  // docked on the left or right
    SIZE horzMin{20, 20};
    SIZE vertMin{20, 20};
    RECT margins{0, 0, 0, 0};       // left, top, right, bottom
    bool ignoreNcPress = false;     // the edge and the strip do not react to presses
    bool noGripper = false;         // no caption strip, no close button

    // The close glyph was released on: the frame hides the pane.
    std::function<void()> onClose;
    // The pane's size changed by a drag: the frame lays itself out again.
    std::function<void()> onResized;
    // The frame tells how far the pane may grow (its thickness at most).
    int maxThickness = 32767;

    bool CreateBar(const char* title, HWND frame, UINT id, Dock dock);

    Dock dock() const { return dock_; }
    // The size across the docking edge: height at the bottom, width at the right.
    int Thickness() const;
    void SetThickness(int pixels);
    bool Shown() const { return hwnd() && (GetWindowLongPtrA(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; }
    bool Tracking() const { return tracking_; }
    bool HasGripper() const { return !noGripper; }
    // The caption shows the active colours: the keyboard focus is in the pane.
    bool CaptionActive() const { return active_; }
    // Polled when the frame is idle: the caption follows the focus.
    void UpdateCaptionState();
    // Whether a drag of an edge resizes live (the system's full-window drag
    // setting) or a halftone line follows the mouse until the release.
    bool LiveResize() const { return fullWindowDrag_; }

    // Geometry in window coordinates for a window of w x h pixels.
    RECT ClientArea(int w, int h) const;
    RECT CaptionStrip(int w, int h) const;
    RECT CloseButton(int w, int h) const;
    // The hit-test code of the edge toward the frame's middle (HTTOP, HTLEFT).
    UINT SizableEdge() const;
    // Which edges are sizable where the frame placed the pane (DockEdge bits).
    void SetSizableEdges(unsigned dockEdges) { sizableEdges_ = dockEdges; }
    // The hit-test code of the edge under p (window coordinates) or 0.
    UINT EdgeAt(POINT p, int w, int h) const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // The pane's own messages; unhandled ones reach the bar.
    virtual bool OnPaneMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

private:
    bool HorizontalStrip() const { return dock_ == Dock::Right; }
    LRESULT HitTest(POINT screen);
    void PaintNonClient();
    void PaintCaption(HDC dc, const RECT& band, const RECT& close);
    void SetCloseState(bool hover, bool pushed);
    void StartTracking(POINT screen);
    void Track(POINT screen);
    void StopTracking();
    RECT TrackingLine(int thickness) const;  // in the frame's window coordinates
    void InvertTrackingLine(int thickness);

    Dock dock_ = Dock::Bottom;
    bool tracking_ = false;
    POINT trackStart_{};
    int startThickness_ = 0;
    int lineThickness_ = 0;          // where the halftone line stands
    bool fullWindowDrag_ = true;
    unsigned sizableEdges_ = tovan::kEdgeInterior;  // until the frame places the pane
    bool active_ = false;
    char captionFace_[LF_FACESIZE] = "Arial";
    bool hasMarlett_ = false;
    bool closeHover_ = false;
    bool closePushed_ = false;
    bool closePressed_ = false;      // the left button went down on the close box
};
