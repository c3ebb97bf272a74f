#include "win/Controls.h"

#include <vector>

namespace win {

std::wstring CListView::GetItemText(int row, int column) const
{
    std::vector<wchar_t> buffer(264);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(
            Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut: try again with more room.
        if (length + 1 < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

} // namespace win
