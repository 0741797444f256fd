#include "app/batch_run.h"

#include <vector>

#include "app/conn.h"
#include "app/options_dialog.h"
#include "app/window_set.h"

namespace vexel {

void Button2Click(TWindowSet& Windows) {
    TConn* conn = Windows.Conn;
    if (!conn)
        return;
    TFileSelection* selection = Windows.FileSelection;
    std::vector<std::string> pages;
    std::vector<int> items;  // the list index of each page
    if (selection) {
        const int count = selection->Count();
        for (int i = 0; i < count; ++i) {
            if (selection->Selected(i)) {
                pages.push_back(selection->Path(i));
                items.push_back(i);
            }
        }
    }
    const bool javaScript = !Windows.Savefileto || Windows.Savefileto->JavaChoose->Checked();
    conn->RunBatch(pages, javaScript, [&](int Page) {
        if (selection)
            selection->SetCurrent(items[static_cast<std::size_t>(Page)]);
    });
}

}  // namespace vexel
