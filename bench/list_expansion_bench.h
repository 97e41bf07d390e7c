#pragma once
// A list category repeated once per device, as a template request does it, against pugixml
// copying the category node per device in the same run.

// Whether both sides hand back the same document for `devices` devices (white space
// between tags aside); describes the difference on standard error when they do not.
bool SameExpandedDocument(int devices);
