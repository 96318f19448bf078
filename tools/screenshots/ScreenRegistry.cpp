#include "ScreenRegistry.h"

#include "DemoCatalogue.h"
#include "records/Form5.h"
#include "records/Form5kf.h"
#include "records/Form6.h"
#include "records/Form7.h"
#include "records/Form8.h"
#include "shell/Form1.h"
#include "store/Form2b.h"
#include "store/Form2c.h"
#include "store/Form2e.h"
#include "store/Form2f.h"

namespace quelm::shots {

namespace {

template <typename Screen> std::unique_ptr<QWidget> Make(DemoCatalogue& demo) {
    return std::make_unique<Screen>(demo.state, demo.ui);
}

} // namespace

const std::vector<ScreenShot>& Screens() {
    static const std::vector<ScreenShot> screens{
        {QStringLiteral("Form1"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             auto window = std::make_unique<shell::Form1>(demo.state, demo.ui);
             if (!window->Form_Load())
                 return nullptr;
             return window;
         },
         {}},
        {QStringLiteral("Form2b"), Make<store::Form2b>, {}},
        {QStringLiteral("Form2c"), Make<store::Form2c>, {}},
        {QStringLiteral("Form2e"), Make<store::Form2e>, {}},
        {QStringLiteral("Form2f"), Make<store::Form2f>, {}},
        {QStringLiteral("Form5"), Make<records::Form5>, {}},
        {QStringLiteral("Form5kf"), Make<records::Form5kf>, {}},
        {QStringLiteral("Form6"), Make<records::Form6>, {}},
        {QStringLiteral("Form7"), Make<records::Form7>, {}},
        {QStringLiteral("Form8"), Make<records::Form8>, {}},
    };
    return screens;
}

} // namespace quelm::shots
