#pragma once
// Small value types and enumerations of the plot widget that travel through
// signals, slots and the plot tabs.
#include <QMetaType>
#include <QString>

// Set-or-query selector of the plot's setters: store only under SET; every
// call returns the value in force.
enum SETGET { SET = 0, GET = 1 };

// Zoom-history state bits: a later view exists (forward), an earlier view
// exists (back).
enum ZOOM { ZOOM_IN = 1, ZOOM_OUT = 2 };

// Where a plot's legend or marker table sits.
enum DockState {
    DOCK_OFF = 1,
    DOCK_LEFT = 2,
    DOCK_RIGHT = 4,
    DOCK_TOP = 8,
    DOCK_BOTTOM = 16,
    DOCK_FLOAT = 32,
    DOCK_EMBED = 64,
};

// Arrangement of a panel's items.
enum AlignState { ALIGN_HORIZONTAL = 1, ALIGN_VERTICAL = 2, ALIGN_NONE = 4 };

// Computed-position requests of a marker; also the ids of its context menu.
enum SearchType {
    SET_POSITION = 0,
    FIND_VALUE = 1,
    FIND_PEAK = 2,
    MOVE_TO_MEAN = 3,
    MOVE_TO_MEDIAN = 4,
    FIND_MIN = 5,
    FIND_RMS = 6,
};

// A text attached to a data point (a data file's point-label column). The
// text is drawn in the line colour of curve curveId.
struct PointAnnotation {
    double x = 0.0;
    double y = 0.0;
    QString text;
    int curveId = 0;
};

Q_DECLARE_METATYPE(SETGET)
Q_DECLARE_METATYPE(ZOOM)
Q_DECLARE_METATYPE(DockState)
Q_DECLARE_METATYPE(AlignState)
Q_DECLARE_METATYPE(SearchType)
