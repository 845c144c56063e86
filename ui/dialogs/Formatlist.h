#pragma once

#include "formats/decimal_format.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;
class QTableView;

namespace ui {

class CellEditDelegate;
class FormatListModel;
class Prompts;

/// @brief "Десятичные форматы": the decimal format table in a grid, edited cell by cell,
/// with "+" and "-" for rows. Closing it, whichever way, compacts the table and rewrites the
/// state file in the working directory of the moment.
class TFrmFormatList : public QDialog {
    Q_OBJECT
public:
    TFrmFormatList(formats::DecimalFormatTable& table, Prompts& prompts, QWidget* parent = nullptr);
    ~TFrmFormatList() override;

    void btAddClick();
    void btDeleteClick();
    void ComboBox1Change(int itemIndex);

    QPushButton* btAdd = nullptr;
    QPushButton* btDelete = nullptr;
    QTableView* DrawGrid1 = nullptr;
    QComboBox* ComboBox1 = nullptr;

    [[nodiscard]] FormatListModel& model() { return *model_; }

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrid();
    void DrawGrid1SetEditText(const QModelIndex& index, const QString& text);
    void DrawGrid1MouseDown(const QPoint& viewportPos);
    /// Closes an open cell editor before the rows change under it or the window closes.
    [[nodiscard]] int currentRow() const;

    formats::DecimalFormatTable& table_;
    Prompts& prompts_;
    FormatListModel* model_ = nullptr;
    CellEditDelegate* delegate_ = nullptr;
    char32_t lastKey_ = 0; // the character of the last key typed into the grid
};

} // namespace ui
