# A document library that links the view above it and the widgets.
set(link_arrows "vantric_document|document|platform;vantric_document|document|view;vantric_document|document|<Qt6::Widgets>")
