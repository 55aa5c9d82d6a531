// The library Departing.so needs.
__attribute__( ( visibility( "default" ) ) ) float DepartedLevel()
{
	return 1.0f;
}
