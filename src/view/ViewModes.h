#pragma once

#include "print/TargetLayout.h"

// The scale mode, the tile mode and the tile mode saved while another mode
// hides it, changed only by the transitions the View commands make:
//
//   command                    scale          tile              saved
//   Tile Pages to Target       -              poster <-> none   = tile
//   Scale Target to Page, on   to page        none              = tile before
//   Scale Target to Page, off  actual         = saved           -
//   Scale for Distance, on     for distance   -                 = tile before
//   Scale for Distance, off    actual         = saved           -
//   Tile Target to Page        -              grid or none      = tile
//   automatic poster           -              poster            -
//   a mode the target no longer allows: to page -> actual, poster or grid -> none
class ViewModes {
public:
    ViewModes() = default;
    // A state as a window may hold it (a restored or test state).
    ViewModes(int scale, int tile, int savedTile) : m_nScaleMode(scale), m_nTileMode(tile), m_nSavedTileMode(savedTile) {}

    int Scale() const { return m_nScaleMode; }
    int Tile() const { return m_nTileMode; }
    int SavedTile() const { return m_nSavedTileMode; }

    void TogglePoster()
    {
        m_nTileMode = m_nTileMode == TILE_PAGES_TO_TARGET ? TILE_NONE : TILE_PAGES_TO_TARGET;
        m_nSavedTileMode = m_nTileMode;
    }
    void ToggleScaleToPage()
    {
        if (m_nScaleMode == SCALE_TO_PAGE) {
            m_nScaleMode = SCALE_ACTUAL;
            m_nTileMode = m_nSavedTileMode;
        } else {
            m_nScaleMode = SCALE_TO_PAGE;
            m_nSavedTileMode = m_nTileMode;
            m_nTileMode = TILE_NONE;
        }
    }
    // Scaled for distance replaces scale to page; the tile mode is kept aside.
    void StartDistanceScale()
    {
        m_nSavedTileMode = m_nTileMode;
        m_nScaleMode = SCALE_FOR_DISTANCE;
    }
    void EndDistanceScale()
    {
        m_nScaleMode = SCALE_ACTUAL;
        m_nTileMode = m_nSavedTileMode;
    }
    // The grid of copies on (chosen) or off; the saved mode follows the
    // command's outcome with RememberTile.
    void SetGrid(bool on) { m_nTileMode = on ? TILE_TARGET_TO_PAGE : TILE_NONE; }
    void RememberTile() { m_nSavedTileMode = m_nTileMode; }
    void ChoosePoster() { m_nTileMode = TILE_PAGES_TO_TARGET; }

    // The modes a target that fits the printable area no longer allows.
    void DropScaleToPage()
    {
        if (m_nScaleMode == SCALE_TO_PAGE) m_nScaleMode = SCALE_ACTUAL;
    }
    void DropPoster()
    {
        if (m_nTileMode == TILE_PAGES_TO_TARGET) m_nTileMode = TILE_NONE;
    }
    void DropGrid()
    {
        if (m_nTileMode == TILE_TARGET_TO_PAGE) m_nTileMode = TILE_NONE;
    }

    bool operator==(const ViewModes&) const = default;

private:
    int m_nScaleMode = SCALE_ACTUAL;
    int m_nTileMode = TILE_NONE;
    int m_nSavedTileMode = TILE_NONE;
};
