#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QSplitter;
class QTabBar;
class QTableView;

namespace ui {

class InputBufferModel;
class OutputArrayModel;

/// @brief The working area: the input channel pane (tabs, caption, buffer grid) on the left
/// and the output channel pane (tabs, title, array size, array grid) on the right.
/// It only lays the controls out; the main window drives them.
class WorkPanel : public QWidget {
    Q_OBJECT
public:
    WorkPanel(InputBufferModel& inputModel, OutputArrayModel& outputModel,
              QWidget* parent = nullptr);

    /// The input pane takes four fifths of the panel's width.
    void splitFourFifths(int panelWidth);

    QSplitter* splitter = nullptr;
    // Input pane.
    QTabBar* SI = nullptr;
    QLabel* StaticText3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QTableView* DrawGrid2 = nullptr;
    // Output pane.
    QTabBar* SO = nullptr;
    QLabel* StaticText4 = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* cbSOArrayDim = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QTableView* DrawGrid1 = nullptr;

private:
    QWidget* buildInputPane(InputBufferModel& model);
    QWidget* buildOutputPane(OutputArrayModel& model);
};

} // namespace ui
