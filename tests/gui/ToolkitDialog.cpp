// GTK body: a GLib timer, which runs inside the dialog's own loop, finds
// the dialog once it is mapped.
#include "ToolkitDialog.h"

#include <gtk/gtk.h>

namespace {

constexpr guint kPollMs = 20;
constexpr int kMaxPolls = 500;

struct Watch {
    ShownDialog shown;
    std::function<bool(const ShownDialog&)> settled;
    int nPolls = 0;
};

void Describe(GtkWidget* pDialog, ShownDialog& shown) {
    shown = ShownDialog();
    shown.bShown = true;
    gtk_window_get_size(GTK_WINDOW(pDialog), &shown.nWidth, &shown.nHeight);
    if (GTK_IS_MESSAGE_DIALOG(pDialog)) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        GtkWidget* pImage = gtk_message_dialog_get_image(GTK_MESSAGE_DIALOG(pDialog));
        G_GNUC_END_IGNORE_DEPRECATIONS
        const char* pszIcon = nullptr;
        if (pImage != nullptr && gtk_widget_get_visible(pImage)) {
            gtk_image_get_icon_name(GTK_IMAGE(pImage), &pszIcon, nullptr);
        }
        shown.strIcon = pszIcon != nullptr ? pszIcon : "";
        shown.bIconInTheme =
            pszIcon != nullptr && gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), pszIcon);
    }
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* pArea = gtk_dialog_get_action_area(GTK_DIALOG(pDialog));
    G_GNUC_END_IGNORE_DEPRECATIONS
    GList* pChildren = gtk_container_get_children(GTK_CONTAINER(pArea));
    for (GList* p = pChildren; p != nullptr; p = p->next) {
        if (GTK_IS_BUTTON(p->data) && gtk_widget_get_visible(GTK_WIDGET(p->data))) {
            const char* pszLabel = gtk_button_get_label(GTK_BUTTON(p->data));
            shown.buttonLabels.push_back(pszLabel != nullptr ? pszLabel : "");
        }
    }
    g_list_free(pChildren);
}

gboolean Poll(gpointer pData) {
    auto* pWatch = static_cast<Watch*>(pData);
    GList* pWindows = gtk_window_list_toplevels();
    GtkWidget* pFound = nullptr;
    for (GList* p = pWindows; p != nullptr; p = p->next) {
        if (GTK_IS_DIALOG(p->data) && gtk_widget_get_mapped(GTK_WIDGET(p->data))) {
            pFound = GTK_WIDGET(p->data);
        }
    }
    g_list_free(pWindows);
    const bool bLast = ++pWatch->nPolls >= kMaxPolls;
    if (pFound != nullptr) {
        Describe(pFound, pWatch->shown);
        if (bLast || !pWatch->settled || pWatch->settled(pWatch->shown)) {
            gtk_dialog_response(GTK_DIALOG(pFound), GTK_RESPONSE_CANCEL);
            return G_SOURCE_REMOVE;
        }
    }
    return bLast ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

}  // namespace

ShownDialog WatchNextDialog(const std::function<void()>& show,
                            const std::function<bool(const ShownDialog&)>& settled) {
    Watch watch;
    watch.settled = settled;
    const guint source = g_timeout_add(kPollMs, Poll, &watch);
    show();
    if (!watch.shown.bShown && watch.nPolls < kMaxPolls) {
        g_source_remove(source);
    }
    return watch.shown;
}
