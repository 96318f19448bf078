#pragma once

#include <cstdint>
#include <functional>

namespace quelm::exchange {

// The progress of a long run over the rows of an outside database: told the number of rows read and written so far,
// once before the first and then every RowProgressStep rows, so that its window opens soon after the run starts and
// keeps painting.
using RowProgress = std::function<void(std::int64_t rows)>;
inline constexpr int RowProgressStep = 256;

// Counts the rows of a run and tells its progress.
class RowTicker {
public:
    explicit RowTicker(const RowProgress& progress) : progress_(progress) { tell(); }
    void operator()() {
        if (++rows_ % RowProgressStep == 0)
            tell();
    }

private:
    void tell() const {
        if (progress_)
            progress_(rows_);
    }
    const RowProgress& progress_;
    std::int64_t rows_ = 0;
};

} // namespace quelm::exchange
