#include "core/polyfit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

Matrix allocateMatrix(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        throw std::bad_alloc();
    return Matrix(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(cols), 0.0));
}

void copyMatrixRow(const Matrix& matrix, std::vector<double>& dest, int, int cols, int row)
{
    const std::vector<double>& r = matrix.at(static_cast<std::size_t>(row));
    dest.assign(r.begin(), r.begin() + std::min<std::ptrdiff_t>(cols, static_cast<std::ptrdiff_t>(r.size())));
}

void transposeMatrix(Matrix& matrix, int rows, int cols)
{
    Matrix t = allocateMatrix(cols, rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            t[j][i] = matrix[i][j];
    matrix = std::move(t);
}

void luDecompose(const Matrix& A, int n, Matrix& lower, Matrix& upper)
{
    lower = allocateMatrix(n, n);
    upper = allocateMatrix(n, n);
    for (int j = 0; j < n; ++j) {
        upper[j][j] = 1.0;
        for (int r = j; r < n; ++r) {
            double s = A[r][j];
            for (int m = 0; m < j; ++m)
                s -= lower[r][m] * upper[m][j];
            lower[r][j] = s;
        }
        for (int k = j + 1; k < n; ++k) {
            double s = A[j][k];
            for (int m = 0; m < j; ++m)
                s -= lower[j][m] * upper[m][k];
            upper[j][k] = s / lower[j][j];
        }
    }
}

void luSolve(const Matrix& lower, const Matrix& upper, const std::vector<double>& rhs, int n,
             std::vector<double>& out)
{
    std::vector<double> t(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double s = rhs[i];
        for (int k = 0; k < i; ++k)
            s -= lower[i][k] * t[k];
        t[i] = s / lower[i][i];
    }
    out.assign(static_cast<std::size_t>(n), 0.0);
    for (int i = n - 1; i >= 0; --i) {
        double s = t[i];
        for (int k = i + 1; k < n; ++k)
            s -= upper[i][k] * out[k];
        out[i] = s / upper[i][i];
    }
}

void interleavePoints(const std::vector<double>& xs, const std::vector<double>& ys, std::vector<double>& out)
{
    const std::size_t n = std::min(xs.size(), ys.size());
    out.clear();
    out.reserve(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
        out.push_back(xs[k]);
        out.push_back(ys[k]);
    }
}

namespace {
// Least squares by Householder QR of the Vandermonde matrix in the scaled
// variable v = (x - m) / scale: its columns stay of comparable size, so high
// orders keep their precision. Returns the coefficients of (x - m)^j.
std::vector<double> centredFitByQr(const std::vector<double>& points, double m, int d)
{
    const std::size_t N = points.size() / 2;
    const std::size_t cols = static_cast<std::size_t>(d) + 1;
    double scale = 0.0;
    for (std::size_t i = 0; i < N; ++i)
        scale = std::max(scale, std::fabs(points[2 * i] - m));
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1.0;
    // Column-major N x cols, and the right-hand side.
    std::vector<double> A(N * cols);
    std::vector<double> r(N);
    for (std::size_t i = 0; i < N; ++i) {
        const double v = (points[2 * i] - m) / scale;
        double p = 1.0;
        for (std::size_t j = 0; j < cols; ++j) {
            A[j * N + i] = p;
            p *= v;
        }
        r[i] = points[2 * i + 1];
    }
    const std::size_t steps = std::min(N, cols);
    for (std::size_t j = 0; j < steps; ++j) {
        double* col = A.data() + j * N;
        double norm = 0.0;
        for (std::size_t i = j; i < N; ++i)
            norm = std::hypot(norm, col[i]);
        if (norm == 0.0)
            continue;
        const double alpha = col[j] > 0 ? -norm : norm;
        // The reflector u = col(j..) - alpha e_j, applied as I - 2 u u' / u'u.
        col[j] -= alpha;
        double uu = 0.0;
        for (std::size_t i = j; i < N; ++i)
            uu += col[i] * col[i];
        auto reflect = [&](double* target) {
            double dot = 0.0;
            for (std::size_t i = j; i < N; ++i)
                dot += col[i] * target[i];
            const double f = 2.0 * dot / uu;
            for (std::size_t i = j; i < N; ++i)
                target[i] -= f * col[i];
        };
        for (std::size_t k = j + 1; k < cols; ++k)
            reflect(A.data() + k * N);
        reflect(r.data());
        col[j] = alpha;  // R(j, j); the reflector is no longer needed
    }
    // Back substitution with R (upper triangle of A).
    std::vector<double> beta(cols, std::numeric_limits<double>::quiet_NaN());
    if (N >= cols) {
        for (std::size_t jj = cols; jj-- > 0;) {
            double s = r[jj];
            for (std::size_t k = jj + 1; k < cols; ++k)
                s -= A[k * N + jj] * beta[k];
            beta[jj] = s / A[jj * N + jj];
        }
    }
    double f = 1.0;
    for (std::size_t j = 0; j < cols; ++j) {
        beta[j] /= f;
        f *= scale;
    }
    return beta;
}

// The coefficients of the normal equations in (x - m), solved by LU.
std::vector<double> centredFitByNormalEquations(const std::vector<double>& points, double m, int d)
{
    const std::size_t N = points.size() / 2;
    const int size = d + 1;
    // S[k] = sum of u^k for k = 1 .. 2d; r[j] = sum of u^j y.
    std::vector<double> S(static_cast<std::size_t>(2 * d + 1), 0.0);
    std::vector<double> r(static_cast<std::size_t>(size), 0.0);
    for (std::size_t i = 0; i < N; ++i) {
        const double u = points[2 * i] - m;
        const double y = points[2 * i + 1];
        for (int k = 1; k <= 2 * d; ++k)
            S[k] += std::pow(u, k);
        for (int j = 0; j < size; ++j)
            r[j] += std::pow(u, j) * y;
    }
    Matrix M = allocateMatrix(size, size);
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            M[i][j] = (i == 0 && j == 0) ? static_cast<double>(N) : S[i + j];

    Matrix lower, upper;
    luDecompose(M, size, lower, upper);
    std::vector<double> c;
    luSolve(lower, upper, r, size, c);
    return c;
}
} // namespace

double polynomialFit(const std::vector<double>& points, std::vector<double>& centred, std::vector<double>& plain,
                     int d)
{
    if (d < 1)
        throw std::runtime_error("The order of a polynomial fit must be at least 1.");
    const std::size_t N = points.size() / 2;
    double sumX = 0.0;
    for (std::size_t i = 0; i < N; ++i)
        sumX += points[2 * i];
    const double m = sumX / static_cast<double>(N);

    const int size = d + 1;
    // Up to cubics the normal equations about the mean are well conditioned;
    // above, their matrix squares the condition of the problem.
    const std::vector<double> c = d <= 3 ? centredFitByNormalEquations(points, m, d) : centredFitByQr(points, m, d);
    centred = c;

    // Powers of x by the binomial theorem: plain(j) = sum_k c(k) C(k,j) (-m)^(k-j).
    Matrix binom = allocateMatrix(size, size);
    for (int k = 0; k < size; ++k) {
        binom[k][0] = 1.0;
        for (int j = 1; j <= k; ++j)
            binom[k][j] = binom[k - 1][j - 1] + (j < k ? binom[k - 1][j] : 0.0);
    }
    plain.assign(static_cast<std::size_t>(size), 0.0);
    for (int j = 0; j < size; ++j) {
        double s = c[j];
        for (int k = j + 1; k < size; ++k) {
            const double sign = ((k - j) % 2) ? -1.0 : 1.0;
            s += c[k] * binom[k][j] * sign * std::pow(m, k - j);
        }
        plain[j] = s;
    }
    return m;
}

void quadraticFit(const std::vector<double>& points, std::vector<double>& coeffs)
{
    std::vector<double> centred;
    polynomialFit(points, centred, coeffs, 2);
}

void histogram(const std::pair<std::pair<double, double>, std::pair<double, double>>& range,
               const std::vector<double>& points, std::vector<double>& out, int bins)
{
    if (bins <= 0)
        return;
    if (bins > kMaxHistogramBins)
        throw std::runtime_error("A histogram may have at most " + std::to_string(kMaxHistogramBins)
                                 + " bins; " + std::to_string(bins) + " were asked for.");
    const double lo = range.first.second;
    const double hi = range.second.second;
    const double half = ((hi - lo) / bins) * 0.5;

    std::vector<double> centre(static_cast<std::size_t>(bins));
    std::vector<double> edge(static_cast<std::size_t>(bins));
    for (int k = 0; k < bins; ++k) {
        centre[k] = lo + (2 * static_cast<long long>(k) + 1) * half;
        edge[k] = half + centre[k];
    }
    std::vector<long long> count(static_cast<std::size_t>(bins), 0);
    const std::size_t n = points.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = points[2 * i + 1];
        if (!std::isfinite(y))
            continue;
        // With lo <= hi the edges never decrease, so the first edge above y
        // is found by a binary search (written without branches: the data
        // decide nothing the processor could predict); y at or above the
        // last edge stays in the last bin.
        std::size_t k;
        if (half >= 0) {
            const double* base = edge.data();
            std::size_t len = edge.size();
            while (len > 1) {
                const std::size_t step = len / 2;
                base = !(y < base[step]) ? base + step : base;
                len -= step;
            }
            k = static_cast<std::size_t>(base - edge.data()) + !(y < *base);
        } else {
            k = static_cast<std::size_t>(
                std::find_if(edge.begin(), edge.end(), [y](double e) { return e > y; }) - edge.begin());
        }
        if (k >= edge.size())
            k = edge.size() - 1;
        ++count[k];
    }
    out.reserve(out.size() + 2 * static_cast<std::size_t>(bins));
    for (int k = 0; k < bins; ++k) {
        out.push_back(centre[k]);
        out.push_back(static_cast<double>(count[k]));
    }
}
