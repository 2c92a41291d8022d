/* The loadable library is the plug-in archive linked whole; this file only gives the module
   target a source of its own. Loading the library does no work. */
