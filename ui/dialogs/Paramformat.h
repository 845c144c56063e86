#pragma once

#include "ui/common/Prompts.h"

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QTableView;
class QToolButton;

namespace ui {

class CellEditDelegate;

class AssignmentGridModel;
class ParamformatFormatListModel;

/// @brief The parameter formats window: the assignment grid with its file buttons on the
/// left, the read-only list of decimal formats on the right. A double click on the list
/// carries a format's label into the assignment grid's current row. Closing the window
/// compacts the assignments; the caller rebuilds the channel format lookup afterwards.
class TFrmParamFormat : public QDialog {
    Q_OBJECT
public:
    TFrmParamFormat(formats::AssignmentTable& assignments,
                    const formats::DecimalFormatTable& formats, Prompts& prompts,
                    QWidget* parent = nullptr);
    ~TFrmParamFormat() override;

    void FileOpen1Execute();
    void FileSaveAs1Execute();
    void btAddClick();
    void btDeleteClick();
    void DrawGrid1DblClick();

    QAction* FileOpen1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QToolButton* btReadFile = nullptr;
    QToolButton* btWriteFile = nullptr;
    QPushButton* btAdd = nullptr;
    QPushButton* btDelete = nullptr;
    QTableView* DrawGrid2 = nullptr;
    QLabel* Label1 = nullptr;
    QTableView* DrawGrid1 = nullptr;

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildAssignmentPanel();
    QWidget* buildFormatListPanel();
    void DrawGrid2SetEditText(const QModelIndex& index, const QString& text);
    void DrawGrid1MouseDown(QObject* viewport, const QPoint& position);

    formats::AssignmentTable& assignments_;
    const formats::DecimalFormatTable& formats_;
    Prompts& prompts_;
    PromptsBeeper beeper_;
    AssignmentGridModel* assignmentModel_ = nullptr;
    ParamformatFormatListModel* formatListModel_ = nullptr;
    char32_t lastKey_ = 0;         // last key typed into the assignment grid
    bool lastPressInCell_ = false; // the last press on the format list hit a cell
    CellEditDelegate* assignmentDelegate_ = nullptr;
};

} // namespace ui
