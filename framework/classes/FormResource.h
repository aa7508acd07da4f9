// Form files of components: text in and out, and the form resources compiled into the program.
#pragma once

#include <string>

#include "classes/Component.h"

// Reads a form file's text into root (EParserError for bad syntax, EReadError and others for bad content).
void ReadComponentText(TComponent* root, const std::string& text);
// The form file text of root and the components it writes as children.
std::string WriteComponentText(TComponent* root);

// The module whose RCDATA resources hold the form files; default the program itself.
void SetFormResourceModule(void* module);
bool HasFormResource(const std::string& resourceName);
// Reads the RCDATA resource of that name into instance; false when there is none.
bool ReadComponentRes(const std::string& resourceName, TComponent* instance);
// Reads the form resource of each class from below rootAncestor down to the instance's own class, in that order
// (a form inheriting another form's file); false when none of them has one.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);
