// GTK body of the compact style: a CSS provider scoped to the form by name,
// since GTK's default entries, combos and buttons are about 34 pixels high.
// Combos drop their lists down as scrolling lists rather than menus: GTK
// builds a menu item per row as rows come in, at a cost in the square of
// the rows, and a folder history of thousands must load at once. GTK reads
// that choice only as a combo is made, so it stands for every combo.
#include <gtk/gtk.h>
#include <wx/combobox.h>
#include <wx/fontenum.h>
#include <wx/listctrl.h>
#include <wx/window.h>

#include <algorithm>

#include "view/CompactStyle.h"

namespace {

constexpr char kFormName[] = "kesmora-form";
constexpr char kFormFace[] = "IPAPGothic";

// Entry padding, borders and the drop-down button of a compact combo.
constexpr int kComboChrome = 34;

constexpr char kCss[] = R"(
#kesmora-form entry,
#kesmora-form spinbutton {
    min-height: 0; padding: 0 3px;
}
#kesmora-form button {
    min-height: 0; padding-top: 0; padding-bottom: 0;
}
#kesmora-form combobox entry {
    min-height: 0; padding: 0 3px;
}
#kesmora-form combobox button {
    min-height: 0; min-width: 0; padding: 0 2px;
}
#kesmora-form checkbutton, #kesmora-form radiobutton {
    min-height: 0; padding-top: 0; padding-bottom: 0;
}
#kesmora-form check, #kesmora-form radio {
    min-height: 12px; min-width: 12px; margin-top: 0; margin-bottom: 0;
}
#kesmora-form notebook tab {
    min-height: 0; padding-top: 3px; padding-bottom: 3px;
}
combobox {
    -GtkComboBox-appears-as-list: 1;
}
)";

void InstallStyle() {
    static GtkCssProvider* s_pProvider = [] {
        GtkCssProvider* pProvider = gtk_css_provider_new();
        gtk_css_provider_load_from_data(pProvider, kCss, -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                                  GTK_STYLE_PROVIDER(pProvider),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        return pProvider;
    }();
    (void)s_pProvider;
}

}  // namespace

void ApplyCompactStyle(wxWindow* pForm) {
    // The form was drawn for a 9-point proportional Japanese face; children
    // inherit it. A monospaced face would not fit the narrow combos.
    wxFontInfo font(9);
    if (wxFontEnumerator::IsValidFacename(kFormFace)) {
        font.FaceName(kFormFace);
    }
    pForm->SetFont(wxFont(font));
    InstallStyle();
    gtk_widget_set_name(static_cast<GtkWidget*>(pForm->GetHandle()), kFormName);
}

// Later siblings already draw above earlier ones.
void StackTabStripBelow(wxBookCtrlBase*) {}

// A compact combo's edges and button.
int ComboChromeWidth(const wxComboBox*) { return kComboChrome; }

int ListTextLeft(const wxListCtrl* pList, long nRow, long nColumn) {
    wxRect rect;
    if (!pList->GetSubItemRect(nRow, nColumn, rect, wxLIST_RECT_LABEL)) return -1;
    // The generic list gives the label where its text is drawn, in its
    // unscrolled coordinates; its mouse events come in the scrolled ones.
    return pList->CalcScrolledPosition(rect.GetPosition()).x;
}
