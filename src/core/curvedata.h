#pragma once
// One curve (points interleaved x0, y0, x1, y1, ...) with its display
// attributes, and the curves of one plot.
#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

// The colour word of curves and plot options: 0xRRGGBB in the low 24 bits,
// bit 31 set for "not set", bit 30 set for a colour from the line-colour list.
struct Rgb {
    static constexpr quint32 NotSet = 0x80000000u;
    static constexpr quint32 Palette = 0x40000000u;

    quint32 value = NotSet;

    constexpr Rgb() = default;
    constexpr Rgb(quint32 v) : value(v) {}
    constexpr operator quint32() const { return value; }

    constexpr bool isSet() const { return (value & NotSet) == 0; }
    constexpr bool isPalette() const { return (value & Palette) != 0; }
    // True when a plot replaces this colour from the line-colour list.
    constexpr bool needsPalette() const { return (value & (NotSet | Palette)) != 0; }
    // The drawing colour 0xRRGGBB.
    constexpr quint32 rgb() const { return value & 0xFFFFFFu; }
};

namespace Zavozi {
struct CurveAttributes {
    enum PointStyle : qint32 {
        CIRCLE = 1,
        DIAMOND = 3,
        HEXAGON = 4,
        PENTAGON = 5,
        SQUARE = 6,
        TRIANGLE = 7,
    };

    bool showPoints = false;
    bool showLine = true;
    PointStyle pointStyle = CIRCLE;
    Rgb pointShapeColor;
    Rgb pointFillColor;
    Rgb lineColor;

    bool operator==(const CurveAttributes&) const = default;
};
} // namespace Zavozi

struct CurveSummary;

// The values of a curve, shared copy-on-write: copying a curve (into an
// undo cache, a result plot, a loader's hand-over) copies a pointer, and
// the first change made through one copy gives that copy data of its own.
// Reading goes through the const members; every change goes through mut()
// or one of the few vector-like changers below, which make the data private
// first. Hot loops take mut() once (or data() for reading) outside the loop.
//
// The values carry their summary (extremes, order of x, level of detail;
// see curvesummary.h), built on first use by whichever thread asks first
// and shared by every copy. mut() drops it, so the next use builds it from
// the changed values. Code that keeps the reference (or pointer) mut()
// gave it and writes through it after the summary may have been asked for
// again calls changed() when done. An operation that makes its result in a
// worker may call summary() there, so the plot never reads the result for it.
class CurveValues {
public:
    using value_type = double;
    using size_type = std::size_t;
    using const_iterator = const double*;

    CurveValues() = default;
    CurveValues(std::size_t n, double v) : m_data(std::make_shared<Store>(n, v)) {}
    CurveValues(std::initializer_list<double> v) : m_data(std::make_shared<Store>(v)) {}
    CurveValues(std::vector<double> v) : m_data(std::make_shared<Store>(std::move(v))) {}
    template <typename It>
    CurveValues(It first, It last) : m_data(std::make_shared<Store>(std::vector<double>(first, last)))
    {
    }

    // Reading.
    const std::vector<double>& vec() const { return m_data ? m_data->values : noValues(); }
    operator const std::vector<double>&() const { return vec(); }
    std::size_t size() const { return m_data ? m_data->values.size() : 0; }
    bool empty() const { return size() == 0; }
    const double* data() const { return vec().data(); }
    const double& operator[](std::size_t i) const { return m_data->values[i]; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size(); }
    const double& front() const { return m_data->values.front(); }
    const double& back() const { return m_data->values.back(); }

    // The summary of the values as they are (points: size() / 2). Valid
    // until these values change or go. Safe to call from several threads.
    const CurveSummary& summary() const;
    // The summary when one has been built, else nullptr.
    const CurveSummary* builtSummary() const
    {
        return m_data ? m_data->summary.load(std::memory_order_acquire) : nullptr;
    }

    // Changing: the vector itself, private to this curve from now on.
    std::vector<double>& mut()
    {
        if (!m_data) {
            m_data = std::make_shared<Store>(std::vector<double>());
        } else if (m_data.use_count() != 1) {
            m_data = std::make_shared<Store>(m_data->values);
        } else {
            // Another thread may just have dropped its share: its reads
            // happen before our writes.
            std::atomic_thread_fence(std::memory_order_acquire);
            changed();
        }
        return m_data->values;
    }
    // The values were changed through a reference mut() gave earlier.
    void changed()
    {
        if (m_data && m_data->summary.load(std::memory_order_relaxed))
            m_data->dropSummary();
    }
    void push_back(double v) { mut().push_back(v); }
    void resize(std::size_t n) { mut().resize(n); }
    void resize(std::size_t n, double v) { mut().resize(n, v); }
    void reserve(std::size_t n) { mut().reserve(n); }
    void shrink_to_fit() { mut().shrink_to_fit(); }
    void assign(std::size_t n, double v) { mut().assign(n, v); }
    template <typename It>
    void assign(It first, It last)
    {
        if (m_data && m_data.use_count() != 1) {
            m_data = std::make_shared<Store>(std::vector<double>(first, last));
            return;
        }
        mut().assign(first, last);
    }
    // Drops this curve's share; the values are empty afterwards.
    void clear() { m_data.reset(); }

    // True when both hold the very same data (nothing was copied).
    bool sharesDataWith(const CurveValues& other) const { return m_data && m_data == other.m_data; }

    friend bool operator==(const CurveValues& a, const CurveValues& b)
    {
        return a.m_data == b.m_data || a.vec() == b.vec();
    }

private:
    static const std::vector<double>& noValues()
    {
        static const std::vector<double> none;
        return none;
    }

    // The shared values and their summary once built.
    struct Store {
        std::vector<double> values;
        mutable std::atomic<const CurveSummary*> summary{nullptr};

        Store(std::size_t n, double v) : values(n, v) {}
        Store(std::initializer_list<double> v) : values(v) {}
        explicit Store(std::vector<double> v) : values(std::move(v)) {}
        Store(const Store&) = delete;
        Store& operator=(const Store&) = delete;
        ~Store();
        void dropSummary();
    };
    std::shared_ptr<Store> m_data;
};

struct CurveData {
    CurveValues values;
    Zavozi::CurveAttributes attributes;

    CurveData() = default;
    // n values (not points), each equal to v.
    CurveData(std::size_t n, double v) : values(n, v) {}
    // The values in [first, last), interleaved points.
    // An empty or reversed range gives no values.
    CurveData(const double* first, const double* last)
    {
        if (first && last && first < last)
            values = CurveValues(first, last);
    }
    explicit CurveData(std::vector<double> v) : values(std::move(v)) {}

    // Point count; raises the corrupt-curve error for an odd number of values.
    std::size_t pointCount() const;
    double x(std::size_t i) const { return values[2 * i]; }
    double y(std::size_t i) const { return values[2 * i + 1]; }
    void append(double x, double y)
    {
        std::vector<double>& v = values.mut();
        v.push_back(x);
        v.push_back(y);
    }
    bool empty() const { return values.empty(); }

    bool operator==(const CurveData&) const = default;
};

using CurveMap = std::map<int, CurveData>;

// The curve index that stands for every curve of a plot.
inline constexpr int ALL_CURVES = 0x7FFFFFFF;

// Raises the std::runtime_error of a curve with an odd number of values.
[[noreturn]] void throwCorruptCurve();

int pointCountOfCurve(const CurveMap& curves, int index);
long long pointCountOfAllCurves(const CurveMap& curves);
int maxPointCount(const CurveMap& curves);
// Keys are the user numbers (index + 1); values the stored line colours.
std::map<int, Rgb> lineColorById(const CurveMap& curves);
