#pragma once

#include "store/AppState.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace quelm::platform {
class Ui;
}
namespace quelm::records {
class MainRecordScreen;
}
namespace quelm::search {
class InquiryScreen;
}

namespace quelm::shell {

// Layout values of the record screens, in twips, from the screen size.
struct LayoutValues {
    std::int32_t ListFormWidth;
    std::int32_t ListFormLeft;
    std::int32_t ListFormTop;
    std::int32_t ListViewExtraWidth;
};
LayoutValues Dspsize(int screenWidthTwips, int screenHeightTwips);

// Main window: the category buttons, the search popup and the menus of every other screen.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up. Returns false when the program has to end (the picture folder check failed or the catalogue is
    // unreadable); the window is then never shown.
    bool Form_Load();

    // A line of the window's frame, in twips.
    struct Line {
        int x1, y1, x2, y2;
        QFrame* widget = nullptr;
    };

    // Handlers.
    void Command1_Click(int index);
    void Command2_Click();
    void Command3_Click();
    void Command9_Click();
    void mk11_Click(int index);
    void mf14_Click(); // Accessデータベース取込み
    void mi1_Click();
    void mt12_Click();
    void mt13_Click();
    void mt14_Click();
    void mt15_Click();
    void mt11_Click();
    void mt17_Click();
    void mf12_Click();
    void mf13_Click();
    void mm11_Click();
    void mm12_Click();
    void mm13_Click();
    void mh12_Click();

    // Layout procedures.
    void Menukensaku();
    void CommandSet();
    void DSpaceSet();
    void DSpaceReSet();
    bool PictureFolderCheck();
    void ApplyTitleAndColors();
    // Title, colours, button captions and search popup from the configuration, at once.
    void ApplySettings();
    // Places the category buttons again for the slots now in use.
    void RelayOutCategories();

    // Controls under their given names.
    std::array<QPushButton*, 6> Command1{};
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command9 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    std::array<Line, 11> Lines{}; // Line1 … Line10 at their numbers; element 0 unused
    QMenu* kenopen = nullptr;
    QAction* mk1 = nullptr;
    std::array<QAction*, 6> mk11{};
    QAction *mf12 = nullptr, *mf13 = nullptr, *mf17 = nullptr;
    QAction* mf14 = nullptr; // Accessデータベース取込み
    QAction *mt11 = nullptr, *mt12 = nullptr, *mt13 = nullptr, *mt14 = nullptr, *mt15 = nullptr, *mt17 = nullptr;
    QAction* mi1 = nullptr;
    QAction *mm11 = nullptr, *mm12 = nullptr, *mm13 = nullptr;
    QAction *mh11 = nullptr, *mh12 = nullptr;

    // Twip geometry, kept so the moves add up exactly.
    int topTwips(QWidget* control) const;
    int leftTwips(QWidget* control) const;
    int windowHeightTwips() const { return heightTwips_; }
    int windowWidthTwips() const { return widthTwips_; }

    // The record screen opened by a category button, while it is open.
    QPointer<records::MainRecordScreen> recordScreen;
    // The inquiry screen, while it is open.
    QPointer<search::InquiryScreen> inquiryScreen;

    // Layout flags of the added slots, set by CommandSet.
    bool cd2Flag = false, cd3Flag = false, dvd2Flag = false, dvd3Flag = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void place(QWidget* control, int left, int top, int width, int height);
    void moveTop(QWidget* control, int top);
    void placeLine(Line& line);
    void shiftLowerPart(int twips);
    void applyHeight();
    void openCategory(int section, std::int16_t listMode);
    void showRecordScreen();
    // Closes the record screen when its category's data was deleted or its tables rebuilt meanwhile.
    void closeStaleRecordScreen();

    store::AppState& state_;
    platform::Ui& ui_;
    struct Geometry {
        int left, top, width, height;
    };
    std::map<QWidget*, Geometry> geometry_;
    int widthTwips_ = 0;
    int heightTwips_ = 0;
    bool ending_ = false;
};

} // namespace quelm::shell
