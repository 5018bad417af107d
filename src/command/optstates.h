#pragma once
// Small value types carried by the command console's signals and taken by
// the plots' appearance operations.
#include <QMetaType>

namespace OPTSTATES {
// The switch word of the bar, lines, points and verbose commands.
enum QUADSTATE { ON = 1, OFF = 2, TOGGLE = 8 };

// Bits of the gran command: which axis is set, queried or left alone.
enum DIMENSION_QUERY {
    X_SET = 1,
    X_QUERY = 2,
    X_NONE = 4,
    Y_SET = 8,
    Y_QUERY = 16,
    Y_NONE = 32,
};
} // namespace OPTSTATES

namespace PDESIGN {
enum GRIDLINES { GRID_VERTICAL = 1, GRID_HORIZONTAL = 2, GRID_BOTH = 3 };
} // namespace PDESIGN

Q_DECLARE_METATYPE(OPTSTATES::QUADSTATE)
Q_DECLARE_METATYPE(OPTSTATES::DIMENSION_QUERY)
Q_DECLARE_METATYPE(PDESIGN::GRIDLINES)
