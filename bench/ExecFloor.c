/* The floor of start-up: a program that is executed and exits at once. */
int main(void) { return 0; }
