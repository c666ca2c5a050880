#pragma once

namespace korbana {

class ListDocument;
class ListView;

// Ctrl+C in the lists: the whole Shopping list as text for a messenger (also from its context menu), the selected
// shop or product as one line. Each acts only while its list has the focus, so an open edit box keeps its own Ctrl+C.
void offerCopying(ListDocument* document, ListView* stores, ListView* products, ListView* shopping);

} // namespace korbana
