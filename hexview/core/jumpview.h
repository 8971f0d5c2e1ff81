#pragma once
// Where the view stands after a jump (Go to, bookmarks): the target row in
// the middle of the view, as far as the document allows.

namespace hexview {

// The top row that puts row in the middle of visibleRows rows; never above
// firstRow (the first data row) nor past the last full page.
int CenteredTopRow(int row, int visibleRows, int rowCount, int firstRow);

} // namespace hexview
