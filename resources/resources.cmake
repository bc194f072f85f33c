# resources/resources
