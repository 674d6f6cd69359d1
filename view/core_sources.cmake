# GUI-free parts of the view, compiled into kesmora_core.
target_sources(kesmora_core PRIVATE
)
