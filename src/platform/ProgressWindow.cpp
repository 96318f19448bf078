#include "platform/Ui.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>
#include <limits>

namespace quelm::platform {

namespace {

// A progress dialog modal to its owner. It shows itself only when the work takes a while, so a short rebuild does not
// flash a window.
class DialogProgress : public ProgressWindow {
public:
    DialogProgress(const QString& text, const QString& title, QWidget* owner, bool cancellable)
        : text_(text), dialog_(text, QString(), 0, 0, owner) {
        dialog_.setWindowTitle(title);
        if (cancellable)
            dialog_.setCancelButtonText(QStringLiteral("中止"));
        else
            dialog_.setCancelButton(nullptr);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(400);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }

    void report(std::int64_t done, std::int64_t total) override {
        // The bar counts in int: large totals are scaled down.
        const std::int64_t scale = std::max<std::int64_t>(1, total / std::numeric_limits<int>::max() + 1);
        dialog_.setMaximum(static_cast<int>(total / scale));
        dialog_.setValue(static_cast<int>(std::clamp<std::int64_t>(done, 0, total) / scale));
        QCoreApplication::processEvents();
    }

    void setDetail(const QString& detail) override {
        dialog_.setLabelText(detail.isEmpty() ? text_ : text_ + QLatin1Char('\n') + detail);
    }

    // The dialog's own cancel (its button, Esc or closing it) stays noted until the window goes.
    bool cancelled() const override { return dialog_.wasCanceled(); }

private:
    QString text_;
    QProgressDialog dialog_;
};

} // namespace

std::unique_ptr<ProgressWindow> Ui::showProgress(const QString& text, const QString& title, QWidget* owner) {
    return std::make_unique<DialogProgress>(text, title, owner, false);
}

std::unique_ptr<ProgressWindow> Ui::showCancellableProgress(const QString& text, const QString& title, QWidget* owner) {
    return std::make_unique<DialogProgress>(text, title, owner, true);
}

std::function<void()> BusyTicker(Ui& ui, const QString& text, const QString& title, QWidget* owner) {
    auto window = std::make_shared<std::unique_ptr<ProgressWindow>>();
    return [&ui, text, title, owner, window] {
        if (!*window)
            *window = ui.showProgress(text, title, owner);
        (*window)->report(0, 0);
    };
}

} // namespace quelm::platform
