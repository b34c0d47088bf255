# The program icon: its SVG drawings (the source of every size) built into a small library,
# so that the program, the icon renderer of the installation and the review tools share them.
# Expects kurvana_root to name the repository folder.
add_library(kurvana_icon STATIC ${kurvana_root}/ui/programicon.cpp ${kurvana_root}/ui/programicon.h)
target_include_directories(kurvana_icon PUBLIC ${kurvana_root})
target_link_libraries(kurvana_icon PUBLIC Qt6::Gui Qt6::Svg)
qt_add_resources(kurvana_icon kurvana_icon_drawings PREFIX /kurvana BASE ${kurvana_root}/data
    FILES ${kurvana_root}/data/icons/kurvana2.svg ${kurvana_root}/data/icons/kurvana2-small.svg)
