// GTK body: an emission hook on "show" fits each message box and folder
// chooser just before it appears. wx creates the GTK dialog only inside
// ShowModal, so there is no earlier moment to reach it.
#include <gtk/gtk.h>
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>

#include <algorithm>

#include "view/DialogLook.h"

namespace {

// Room for the places list, the folder list and its columns.
constexpr int kChooserWidth = 760;
constexpr int kChooserHeight = 540;
// Of the screen's work area, at most.
constexpr double kChooserScreenShare = 0.8;

const char* IconNameOf(GtkMessageType type) {
    switch (type) {
        case GTK_MESSAGE_QUESTION:
            return "dialog-question";
        case GTK_MESSAGE_WARNING:
            return "dialog-warning";
        case GTK_MESSAGE_ERROR:
            return "dialog-error";
        case GTK_MESSAGE_INFO:
            return "dialog-information";
        default:
            return nullptr;
    }
}

void ShowTypeIcon(GtkMessageDialog* pDialog) {
    GtkMessageType type = GTK_MESSAGE_OTHER;
    g_object_get(pDialog, "message-type", &type, nullptr);
    const char* pszIcon = IconNameOf(type);
    if (pszIcon == nullptr) {
        return;
    }
    // The image API is deprecated in GTK 3 and gone in 4, yet the only way
    // to give a GTK 3 message box the icon of its kind.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* pImage = gtk_message_dialog_get_image(pDialog);
    if (pImage == nullptr || !gtk_widget_get_visible(pImage)) {
        pImage = gtk_image_new_from_icon_name(pszIcon, GTK_ICON_SIZE_DIALOG);
        gtk_message_dialog_set_image(pDialog, pImage);
        gtk_widget_show(pImage);
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
}

// The chooser sets its size as it is realized (from the size it was last
// closed at, or from the font) and whenever its default changes; this
// runs after each.
void FitChooser(GtkWidget*, gpointer pDialog) {
    GtkWindow* pWindow = GTK_WINDOW(pDialog);
    int nWidth = kChooserWidth;
    int nHeight = kChooserHeight;
    GdkDisplay* pDisplay = gtk_widget_get_display(GTK_WIDGET(pWindow));
    if (GdkMonitor* pMonitor = gdk_display_get_primary_monitor(pDisplay)) {
        GdkRectangle area{};
        gdk_monitor_get_workarea(pMonitor, &area);
        nWidth = std::min(nWidth, static_cast<int>(area.width * kChooserScreenShare));
        nHeight = std::min(nHeight, static_cast<int>(area.height * kChooserScreenShare));
    }
    gtk_window_resize(pWindow, nWidth, nHeight);
}

void WatchChooserSize(GtkWidget* pWidget, gpointer pDialog) {
    if (GTK_IS_FILE_CHOOSER_WIDGET(pWidget)) {
        g_signal_connect_after(pWidget, "default-size-changed", G_CALLBACK(FitChooser), pDialog);
    } else if (GTK_IS_CONTAINER(pWidget)) {
        gtk_container_forall(GTK_CONTAINER(pWidget), WatchChooserSize, pDialog);
    }
}

gboolean OnShow(GSignalInvocationHint*, guint, const GValue* params, gpointer) {
    GObject* pObject = static_cast<GObject*>(g_value_get_object(&params[0]));
    if (GTK_IS_MESSAGE_DIALOG(pObject)) {
        ShowTypeIcon(GTK_MESSAGE_DIALOG(pObject));
    } else if (GTK_IS_FILE_CHOOSER_DIALOG(pObject) &&
               g_object_get_data(pObject, "kesmora-fitted") == nullptr) {
        g_object_set_data(pObject, "kesmora-fitted", pObject);
        g_signal_connect_after(pObject, "realize", G_CALLBACK(FitChooser), pObject);
        WatchChooserSize(GTK_WIDGET(pObject), pObject);
        FitChooser(GTK_WIDGET(pObject), pObject);
    }
    return TRUE;  // stay installed
}

}  // namespace

// wx looks in its own prefix's share/locale, where Debian puts it.
void UseToolkitCatalogue() {
    auto* pTranslations = new wxTranslations;
    pTranslations->SetLanguage("ja");
    pTranslations->AddStdCatalog();
    wxTranslations::Set(pTranslations);
}

void PrepareToolkitDialogs() {
    static const gulong s_hook = g_signal_add_emission_hook(
        g_signal_lookup("show", GTK_TYPE_WIDGET), 0, OnShow, nullptr, nullptr);
    (void)s_hook;
}

int ShowMessageBox(wxMessageDialog& box) { return box.ShowModal(); }

// GTK's chooser shows the message as its title.
int ShowFolderChooser(wxDirDialog& dialog) { return dialog.ShowModal(); }
