#include "ui/qt/list_rows.h"

#include <QListView>
#include <QStandardItemModel>

#include "ui/toolkit/list_owner.h"

namespace brontal {
namespace {

void ShowItem(const CControlUI& item, int row, QStandardItemModel& model, QListView& view) {
  QStandardItem* cell = model.item(row);
  cell->setText(QString::fromStdString(item.GetText()));
  cell->setToolTip(QString::fromStdString(item.GetToolTip()));
  cell->setEnabled(item.IsEnabled());
  cell->setEditable(false);
  view.setRowHidden(row, !item.IsVisible());
}

}  // namespace

void FillRows(const CListOwnerUI& owner, QStandardItemModel& model, QListView& view) {
  model.setRowCount(0);
  model.setColumnCount(1);
  model.setRowCount(owner.GetCount());
  for (int row = 0; row < owner.GetCount(); ++row) {
    model.setItem(row, new QStandardItem);
    ShowItem(*owner.GetItemAt(row), row, model, view);
  }
}

void UpdateRow(const CListOwnerUI& owner, const CControlUI& item, QStandardItemModel& model, QListView& view) {
  const int row = owner.GetItemIndex(&item);
  if (row >= 0 && row < model.rowCount()) ShowItem(item, row, model, view);
}

}  // namespace brontal
