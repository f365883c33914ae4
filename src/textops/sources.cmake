target_sources(tarvexlib PRIVATE
)
