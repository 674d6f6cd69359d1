# The wx parts of the view, compiled into kesmora_gui.
target_sources(kesmora_gui PRIVATE
)
