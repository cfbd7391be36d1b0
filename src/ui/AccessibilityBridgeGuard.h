#pragma once

namespace quantaro {

// Qt 6.4's AT-SPI bridge reads the arguments of a call without checking that
// they are there: it takes the second argument of every
// org.freedesktop.DBus.Properties call as a property name, so GetAll, which
// has only the interface name, reads past the end of its argument list and
// ends the program, as does any method called with too few arguments. From
// the moment the bridge puts its objects on the accessibility bus, they are
// answered through a wrapper: GetAll gets every property the bridge declares
// for the interface, each read through the bridge's own Get; a call whose
// arguments differ from what the bridge declares is refused; every other call
// goes to the bridge unchanged. Call once, after the application object
// exists.
void GuardAccessibilityBridge();

}  // namespace quantaro
