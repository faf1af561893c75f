// How a one-shot command's heap gives memory back to the system.
#ifndef SCENARIO_PLATFORM_MEMORIA_H_
#define SCENARIO_PLATFORM_MEMORIA_H_

namespace scenario {

// Blocks the program frees are kept for its next requests instead of given
// back to the system and asked for again: each page given back costs a page
// fault when it is touched anew, and a drawing makes and drops an array of a
// value per cell for every band. For a program that runs once and ends.
void tieni_memoria_liberata();

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_MEMORIA_H_
