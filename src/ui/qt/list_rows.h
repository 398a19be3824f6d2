#pragma once

class QListView;
class QStandardItemModel;

namespace brontal {

class CControlUI;
class CListOwnerUI;

// A combo box's or list's items as the rows of an item model: each item's
// text, hidden with the item and disabled with it, so that the user can pick
// only what the control would accept.
void FillRows(const CListOwnerUI& owner, QStandardItemModel& model, QListView& view);
void UpdateRow(const CListOwnerUI& owner, const CControlUI& item, QStandardItemModel& model, QListView& view);

}  // namespace brontal
